// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the four built-in themes in both orientations, writes their profile groups and renders
// the theme list's thumbnails, at 1x and 2x, through the apply renderer, so a thumbnail is exactly
// what the screen will show.
//
//   korvo_themeart <resources folder> <groups.ini>
//
// Pictures go to <resources folder>/background; the groups H1..H4 and V1..V4 to <groups.ini>,
// to be appended to the template Config.ini.

#include "artwork.h"
#include "compose/applyrenderer.h"
#include "compose/fonts.h"
#include "compose/previewgeometry.h"
#include "config/themeprofile.h"
#include "themes.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

using namespace korvo;

namespace {

bool save(const QImage& image, const QString& path)
{
    if (image.save(path, nullptr, 0))
        return true;
    std::fprintf(stderr, "Unable to write %s\n", qPrintable(path));
    return false;
}

// The screen in a 170 x 90 icon with rounded corners, `scale` times that for HiDPI screens;
// portrait screens stand upright in it.
QImage thumbnail(const QImage& frame, int scale)
{
    QImage icon(170 * scale, 90 * scale, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    const QImage scaled = frame.scaled(icon.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QRect target(QPoint((icon.width() - scaled.width()) / 2, (icon.height() - scaled.height()) / 2),
                       scaled.size());
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(target), 6 * scale, 6 * scale);
    p.setClipPath(clip);
    p.drawImage(target, scaled);
    return icon;
}

// Thumbnail names of the theme list: entry 0 default, 1 scene, 2 TDP, 3 time; "@2x" before the
// extension at twice the size.
QString thumbnailName(int themeId, int hor, bool english, int scale)
{
    const char* stems[ThemeCount] = {"default", "scene", "TDP", "time"};
    QString name = QString::fromLatin1(stems[themeId]) + QStringLiteral("_background_all");
    if (hor == 1)
        name += QLatin1Char('3');
    if (english)
        name += QStringLiteral("_en");
    if (scale > 1)
        name += QStringLiteral("@%1x").arg(scale);
    return name + QStringLiteral(".png");
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvo_themeart <resources folder> <groups.ini>\n");
        return 2;
    }
    compose::installFontSubstitutions();
    const QDir out(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/background"));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "Unable to make %s\n", qPrintable(out.path()));
        return 1;
    }
    const QString boxPath = out.filePath(QStringLiteral("box.png"));
    bool ok = save(themeart::drawLabelBox(), boxPath);

    const QString groupsPath = QString::fromLocal8Bit(argv[2]);
    QFile::remove(groupsPath);
    IniFile groups = IniFile::read(groupsPath);
    for (int hor = 0; hor < OrientationCount; ++hor) {
        for (int themeId = 0; themeId < ThemeCount; ++themeId) {
            const themeart::Design design = themeart::themeDesign(themeId, hor);
            const QImage background = themeart::drawBackground(themeId, hor, design);
            ok = save(background, out.filePath(themeart::pictureStem(themeId, hor) + QStringLiteral(".png"))) && ok;
            writeLayoutGroup(groups, QString(hor == 1 ? 'V' : 'H') + QString::number(themeId + 1), design.record);

            LayoutState state;
            state.record = design.record;
            state.record.StringPixmapS = boxPath; // the compiled-in copy does not exist yet
            state.ThemeID = uint8_t(themeId);
            state.Hor = uint8_t(hor);
            for (bool english : {false, true}) {
                if (english && themeId == 1)
                    continue; // the scene has no words; one thumbnail serves both languages
                state.englishInterface = english;
                const compose::ComposedFrame composed =
                    compose::composeFrame(state, background, compose::editorSize(hor));
                // The 1x icon halves the frame; the 2x one keeps about every pixel of it.
                for (int scale : {1, 2})
                    ok = save(thumbnail(composed.frame, scale),
                              out.filePath(thumbnailName(themeId, hor, english, scale))) &&
                         ok;
                if (themeId == 0 && hor == 0 && !english)
                    ok = save(composed.background, out.filePath(QStringLiteral("whole.png"))) && ok;
            }
        }
    }
    ok = groups.write() && ok;
    return ok ? 0 : 1;
}

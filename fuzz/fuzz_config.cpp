// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the start-up load as Config.ini, then uses every index the load
// produced the way the renderers and the editor do. A save and a second load must then give the
// same profile: whatever the file held, what was read is what is kept.
#include "compose/layouttables.h"
#include "config/configstore.h"
#include "config/startup.h"
#include "config/themeprofile.h"
#include "editor/layoutmodel.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir* folders = nullptr;

void setUp()
{
    static int argc = 1;
    static char name[] = "fuzz_config";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    folders = new QTemporaryDir;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folders->path() + "/config"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(folders->path() + "/data"));
    // No templates in the program folder: the input alone is the configuration.
    korvo::setProgramDirOverride(folders->path() + "/program");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

volatile int sink;

void useRecord(const korvo::LayoutRecord& record, int hor)
{
    using namespace korvo;
    int sum = compose::textColorAt(record.Color) ^ compose::textSizeAt(record.Size);
    sum += record.ShowRect_.at(record.highlight).width();
    sum += record.XZoom * 2 + record.YZoom * 2 + record.XPt + record.YPt;
    for (int kind = 0; kind < ElementKindCount; ++kind) {
        const QRect& box = record.ShowRect_[kind];
        sum += box.x() + box.width() + box.y() + box.height() + record.ShowStringRect_[kind].right();
        sum += record.String_[kind].size();
    }
    sum += static_cast<int>(compose::TextColorTable.at(record.Color)) + compose::TextSizeTable.at(record.Size);
    sum += compose::stringRowRect(hor, 0).width();
    sink = sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace korvo;
    if (!folders)
        setUp();
    const QString file = configFilePath();
    {
        QFile config(file);
        if (!config.open(QIODevice::WriteOnly))
            std::abort();
        config.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    ThemeProfile profile;
    prepareStartupData(profile);
    LayoutModel model;
    model.LoadLayout(profile, true);

    const LayoutState& state = model.working();
    const int hor = state.Hor;
    useRecord(profile.landscape.at(profile.ThemeID), hor);
    useRecord(profile.portrait.at(profile.ThemeID), hor);
    for (const LayoutRecord& record : profile.custom)
        useRecord(record, hor);
    int sum = compose::StringRowRects.at(hor).at(state.curRectId).width();
    for (int slot = 0; slot < SlotCount; ++slot) {
        const int kind = state.customShow.at(state.Style).at(slot);
        sum += compose::SlotRects.at(hor).at(slot).height();
        if (kind >= 0)
            sum += state.record.String_.at(kind).size() + state.record.Show_.at(kind);
    }
    sink = sum;
    if (saveThemeProfile(profile)) {
        ThemeProfile again;
        loadThemeProfile(again);
        if (again != profile)
            std::abort();
    }
    QFile::remove(file);
    return 0;
}

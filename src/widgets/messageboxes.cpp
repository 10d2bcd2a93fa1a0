// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/messageboxes.h"

#include "config/configstore.h"
#include "widgets/skin.h"
#include "widgets/tavopushbutton.h"

#include <QDebug>
#include <QFontDatabase>
#include <QHash>
#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace korvo {

namespace {

QFont yaheiFont(int pixelSize)
{
    QFont font(FontFamily);
    font.setPixelSize(pixelSize);
    return font;
}

TavoPushButton* makeButton(QWidget* parent, const char* objectName, const QRect& geometry, const QString& normal,
                           const QString& selected, const QString& text)
{
    auto* button = new TavoPushButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setGeometry(geometry);
    button->setPictures(normal, selected, selected);
    button->setText(text);
    return button;
}

// The question box's own face, added once per file; a file that cannot be added only changes
// the look of the message.
QString questionFontFamily()
{
    static QHash<QString, QString> added;
    const QString path = programDirPath() + "/Fonts/SourceHanSansSC-Normal-2.otf";
    const auto known = added.constFind(path);
    if (known != added.constEnd())
        return *known;
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        qDebug("load font failed!");
        return QString();
    }
    added.insert(path, families.first());
    return families.first();
}

void paintBackground(QWidget* dialog, const QPixmap& background)
{
    if (background.isNull())
        return;
    QPainter painter(dialog);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(dialog->rect(), background);
}

} // namespace

ExitMessageBox::ExitMessageBox(int callerValue, const QString& text, const QPoint& position, QWidget* parent,
                               bool title, Qt::WindowFlags flags)
    : QDialog(parent, flags), callerValue_(callerValue), background_(loadSkin("://skins/exit_warning.png"))
{
    setFixedSize(960, 588);
    setAttribute(Qt::WA_TranslucentBackground);
    move(position);

    auto* titleLabel = new QLabel(this);
    title_ = titleLabel;
    titleLabel->setObjectName("titleLabel");
    if (title) {
        titleLabel->setGeometry(inclusiveRect(344, 232, 623, 255));
        setTitle(tr("温馨提示"));
    }
    titleLabel->setFont(yaheiFont(14));
    titleLabel->setAlignment(Qt::AlignCenter);
    QPalette titlePalette = titleLabel->palette();
    titlePalette.setColor(QPalette::WindowText, QColor(0xff, 0xff, 0xff));
    titleLabel->setPalette(titlePalette);

    auto* messageLabel = new QLabel(text, this);
    messageLabel->setObjectName("messageLabel");
    messageLabel->setGeometry(inclusiveRect(320, 258, 639, 317));
    messageLabel->setFont(yaheiFont(13));
    messageLabel->setAlignment(Qt::AlignCenter);
    messageLabel->setWordWrap(true);
    messageLabel->setAttribute(Qt::WA_TranslucentBackground);
    QPalette messagePalette = messageLabel->palette();
    messagePalette.setColor(QPalette::WindowText, QColor(0xd0, 0xd2, 0xd6));
    messageLabel->setPalette(messagePalette);

    // clicked, not released: QAbstractButton also reports a release when the pointer is dragged
    // off a held button, and that must not answer the question.
    // The answers are named by the caller (setAnswers), after the action each question is about.
    ok_ = makeButton(this, "btnOk", inclusiveRect(400, 324, 469, 355), "://skins/1.png", "://skins/1.png", QString());
    cancel_ =
        makeButton(this, "btnCancel", inclusiveRect(490, 324, 559, 355), "://skins/1.png", "://skins/1.png", QString());
    // Enter answers yes, Esc no (QDialog's own keys); Tab goes from yes to no.
    ok_->setDefault(true);
    setTabOrder(ok_, cancel_);
    ok_->setFocus();
    connect(ok_, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QAbstractButton::clicked, this, &QDialog::reject);
}

void ExitMessageBox::setTitle(const QString& title)
{
    setWindowTitle(title);
    if (!title_->geometry().isEmpty())
        title_->setText("<img src = '://skins/waring_icon.png'/> " + title.toHtmlEscaped());
}

void ExitMessageBox::setAnswers(const QString& acceptText, const QString& rejectText)
{
    ok_->setText(acceptText);
    cancel_->setText(rejectText);
    cancel_->setVisible(!rejectText.isEmpty());
    // Action names are longer than OK and Cancel: each button grows from the panel's middle.
    const int okWidth = std::max(70, ok_->fontMetrics().horizontalAdvance(acceptText) + 24);
    const int cancelWidth =
        rejectText.isEmpty() ? 0 : std::max(70, cancel_->fontMetrics().horizontalAdvance(rejectText) + 24);
    const int gap = rejectText.isEmpty() ? 0 : 20;
    const int left = 480 - (okWidth + gap + cancelWidth) / 2;
    ok_->setGeometry(left, 324, okWidth, 32);
    cancel_->setGeometry(left + okWidth + gap, 324, cancelWidth, 32);
}

void ExitMessageBox::paintEvent(QPaintEvent* event)
{
    paintBackground(this, background_);
    QDialog::paintEvent(event);
}

TavoMessageBox::TavoMessageBox(const QString& text, const QRect& rect, QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), background_(loadSkin("://skins/eject_ask_bk.png"))
{
    setFixedSize(240, 120);
    setAttribute(Qt::WA_TranslucentBackground);
    if (parent) {
        const QPoint origin = parent->pos();
        move(origin.x() + rect.x() + rect.width() / 2 - width() / 2, origin.y() + parent->height() / 2 - height() / 2);
    }

    auto* messageLabel = new QLabel(text, this);
    messageLabel->setObjectName("messageLabel");
    messageLabel->setGeometry(inclusiveRect(14, 22, 225, 49));
    messageLabel->setAlignment(Qt::AlignCenter);
    messageLabel->setAttribute(Qt::WA_TranslucentBackground);
    QFont messageFont = messageLabel->font();
    const QString family = questionFontFamily();
    if (!family.isEmpty())
        messageFont.setFamily(family);
    messageFont.setPixelSize(20);
    messageLabel->setFont(messageFont);
    QPalette messagePalette = messageLabel->palette();
    messagePalette.setColor(QPalette::WindowText, textColorOn(middleColor(background_)));
    messageLabel->setPalette(messagePalette);

    // This box keeps its two captions in Chinese whatever the interface language.
    TavoPushButton* ok = makeButton(this, "btnOk", inclusiveRect(39, 68, 108, 93), "://skins/eject_bt_n.png",
                                    "://skins/eject_bt_s.png", QString::fromUtf8("确定"));
    TavoPushButton* cancel = makeButton(this, "btnCancel", inclusiveRect(130, 68, 199, 93), "://skins/eject_bt_n.png",
                                        "://skins/eject_bt_s.png", QString::fromUtf8("取消"));
    connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(cancel, &QAbstractButton::clicked, this, &QDialog::reject);
}

void TavoMessageBox::paintEvent(QPaintEvent* event)
{
    paintBackground(this, background_);
    QDialog::paintEvent(event);
}

} // namespace korvo

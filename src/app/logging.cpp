// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/logging.h"

#include <QLoggingCategory>
#include <QString>

#include <cstring>

namespace korvo::logging {

namespace {

QtMessageHandler previous = nullptr;

// The parts of the program by their folder; null for a line that is not ours (Qt's own).
const QLoggingCategory* categoryOf(const char* file)
{
    static const QLoggingCategory app("korvo.app", QtInfoMsg);
    static const QLoggingCategory compose("korvo.compose", QtInfoMsg);
    static const QLoggingCategory config("korvo.config", QtInfoMsg);
    static const QLoggingCategory editor("korvo.editor", QtInfoMsg);
    static const QLoggingCategory link("korvo.link", QtInfoMsg);
    static const QLoggingCategory metrics("korvo.metrics", QtInfoMsg);
    static const QLoggingCategory picture("korvo.picture", QtInfoMsg);
    static const QLoggingCategory platform("korvo.platform", QtInfoMsg);
    static const QLoggingCategory widgets("korvo.widgets", QtInfoMsg);
    static const std::pair<const char*, const QLoggingCategory*> folders[] = {
        {"/src/app/", &app},         {"/src/compose/", &compose},   {"/src/config/", &config},
        {"/src/editor/", &editor},   {"/src/link/", &link},         {"/src/metrics/", &metrics},
        {"/src/picture/", &picture}, {"/src/platform/", &platform}, {"/src/widgets/", &widgets},
    };
    for (const auto& [folder, category] : folders) {
        if (file && std::strstr(file, folder))
            return category;
    }
    return nullptr;
}

void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    QString text = message;
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    if (text.trimmed().isEmpty())
        return;
    // Lines of our own categories, and Qt's, keep theirs.
    const QLoggingCategory* category =
        context.category && std::strcmp(context.category, "default") == 0 ? categoryOf(context.file) : nullptr;
    if (!category) {
        previous(type, context, text);
        return;
    }
    if (!category->isEnabled(type))
        return;
    const QMessageLogContext placed(context.file, context.line, context.function, category->categoryName());
    previous(type, placed, text);
}

} // namespace

void install(QtMessageHandler next)
{
    const QtMessageHandler before = qInstallMessageHandler(&handle);
    if (next)
        previous = next;
    else if (before != &handle)
        previous = before;
}

} // namespace korvo::logging

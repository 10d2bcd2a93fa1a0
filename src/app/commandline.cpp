// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdlib>
#include <cstring>
#include <utility>

namespace korvo {

namespace {

// Name and description of each option; an option is one more line here.
const std::pair<const char*, const char*> Options[] = {
    {"virtual-screen", "Drive a virtual screen shown in a window of its own, for trying the program without the "
                       "screen."},
    {"headless", "Keep the screen current without a display, window or tray, as a service does."},
};

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();

    Parser()
    {
        parser.setApplicationDescription(
            QStringLiteral("Keeps the USB TFT Screen showing live figures of this computer."));
        for (const auto& [name, description] : Options)
            parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(description)));
    }
};

} // namespace

std::optional<int> CommandLine::answerInformational(int& argc, char** argv)
{
    bool asked = false;
    for (int i = 1; i < argc; ++i) {
        for (const char* word : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
            asked = asked || std::strcmp(argv[i], word) == 0;
    }
    if (!asked)
        return std::nullopt;
    // The parser needs an application object; a GUI one would need a display.
    QCoreApplication core(argc, argv);
    Parser parser;
    // Qt's own options are unknown to a core application: they must not hide the answer.
    parser.parser.parse(QCoreApplication::arguments());
    if (parser.parser.isSet(parser.version))
        parser.parser.showVersion();
    parser.parser.showHelp(0);
}

CommandLine CommandLine::read()
{
    Parser parser;
    parser.parser.process(QCoreApplication::arguments());
    if (!parser.parser.positionalArguments().isEmpty()) {
        qCritical("%s: unexpected argument '%s'; see --help.", qPrintable(QCoreApplication::applicationName()),
                  qPrintable(parser.parser.positionalArguments().constFirst()));
        std::exit(1);
    }
    CommandLine line;
    for (const auto& option : Options) {
        const QString name = QString::fromLatin1(option.first);
        if (parser.parser.isSet(name))
            line.set_ << name;
    }
    return line;
}

bool CommandLine::isSet(const QString& name) const
{
    return set_.contains(name);
}

} // namespace korvo

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace korvo {

// The program's own options. Qt's (-platform, -style …) are taken out by QApplication before
// these are read.
class CommandLine
{
public:
    // Answers --help and --version without a display, so they work over ssh and in scripts:
    // the exit code when one of them was asked for, nothing otherwise.
    static std::optional<int> answerInformational(int& argc, char** argv);

    // Reads the arguments of the running application; an unknown option or a stray argument
    // ends the process with a message and exit code 1.
    static CommandLine read();

    bool isSet(const QString& name) const;

private:
    QStringList set_;
};

} // namespace korvo

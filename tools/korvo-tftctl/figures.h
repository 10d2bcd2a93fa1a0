#pragma once

#include <QStringList>

// `korvo-tftctl figures [--json]`: what each figure would show now, whether it is available and
// where it comes from, read from the sensors GetCPUInfo reads. Returns the exit code.
int figuresCommand(const QStringList& arguments);

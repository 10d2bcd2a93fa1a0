#pragma once

// The stage shared by the composition benchmarks and the soak run: private per-user folders, a
// virtual screen, the CPU figures segment with a first set of figures, and the default theme
// applied.

#include "config/layoutstate.h"
#include "link/virtualscreen.h"
#include "metrics/cpuinfosegment.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace benchsupport {

struct Stage
{
    QTemporaryDir home;
    std::unique_ptr<korvo::link::VirtualScreen> screen;
    korvo::metrics::CpuInfoSegment cpuInfo;
    korvo::CommittedLayout committed;
    korvo::LayoutState layout; // the default theme, with the fan speed shown as well
    QImage picture;

    // False (with a message on stderr) when something could not be set up.
    bool start();
};

// Stands in for GetCPUInfo in a process of its own, as in the program: this program started
// again with "--publisher SECONDS" attaches to the stage's segment (its key comes through the
// environment) and publishes a new value of every CPU figure each second, none repeating within
// a minute. The process is stopped when this object goes.
class Publisher
{
public:
    bool start(int seconds);
    ~Publisher();

private:
    QProcess process_;
};

// The start of each bench program's main, before the application object: picks the offscreen
// platform unless one was chosen, and when the arguments ask for the publisher runs it and
// returns its exit code; otherwise returns -1.
int beforeApplication(int argc, char** argv);

// Resident set size and open descriptors of this process.
long residentKiB();
int openDescriptors();
// CPU seconds (user + system) this process has used.
double cpuSeconds();

} // namespace benchsupport

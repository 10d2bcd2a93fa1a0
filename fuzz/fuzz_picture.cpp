// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the bounded picture reader as a file, both ways it is used: scaled into
// a bound, and as it is up to an area's size. Run with -rss_limit_mb=512: no input may make one
// picture cost more than the reader's limit.
#include "picture/picturereader.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir* folder = nullptr;
volatile int sink;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace korvo;
    if (!folder) {
        static int argc = 1;
        static char name[] = "fuzz_picture";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
        folder = new QTemporaryDir;
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    }
    const QString path = folder->filePath(QStringLiteral("input"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const QImage within = picture::readWithin(path, QSize(2048, 2048));
    const QImage area = picture::readAtMost(path, QSize(255, 255));
    if (within.width() > 2048 || within.height() > 2048 || area.width() > 255 || area.height() > 255)
        std::abort();
    sink = within.width() + area.height();
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// korvo-tftctl: drives the TFT Screen from scripts, over the same link the program uses.

#include "config/wholefile.h"
#include "figures.h"
#include "link/hidbackend.h"
#include "link/link.h"
#include "link/virtualscreen.h"
#include "picture/picturereader.h"
#include "settings.h"

#include <hidapi.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTransform>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace korvo::link;

enum ExitCode
{
    Success = 0,
    UsageError = 1,
    NoScreen = 2,
    WriteFailed = 3,
    BadPicture = 4
};

const char* const Usage =
    "usage: korvo-tftctl [--virtual OUT.png [--fault absent|fail-write=N|unplug-after=N]] "
    "list | image FILE [--portrait] | area FILE X Y | orientation landscape|portrait | clock | figures [--json]; "
    "korvo-tftctl settings | set ...";

const char* const Help =
    "korvo-tftctl: send pictures and commands to the TFT Screen (USB 04d9:fd01).\n"
    "\n"
    "  list                              the screen's HID interfaces\n"
    "  image FILE [--portrait]           FILE scaled to fill the screen, then orientation and clock\n"
    "  area FILE X Y                     a small picture (at most 2044 pixels) drawn at X, Y\n"
    "  orientation landscape|portrait    turn the screen\n"
    "  clock                             set the screen's clock to this computer's time\n"
    "  figures [--json]                  what each figure would show now, and where it comes from\n"
    "\n"
    "  --virtual OUT.png                 use a virtual screen instead and save its picture to OUT.png\n"
    "  --fault absent|fail-write=N|unplug-after=N\n"
    "                                    with --virtual: no screen, the N-th write fails, or the\n"
    "                                    screen goes away after N writes (to try out scripts)\n"
    "\n"
    "Exit codes: 0 done, 1 usage, 2 no screen, 3 a write failed, 4 unreadable or unsuitable picture.\n";

int fail(int code, const QString& message)
{
    std::fprintf(stderr, "korvo-tftctl: %s\n", qUtf8Printable(message));
    return code;
}

struct Options
{
    QString virtualOutput;
    QString fault;
    QString command;
    QStringList arguments;
};

// Returns an empty string when the options are fine, else what is wrong with them.
QString parse(QStringList words, Options& options)
{
    while (!words.isEmpty() && words.first().startsWith(QLatin1String("--"))) {
        const QString option = words.takeFirst();
        // An empty value would silently mean "no virtual screen", and so the real one.
        if (words.isEmpty() || words.first().isEmpty())
            return QStringLiteral("%1 needs a value").arg(option);
        if (option == QLatin1String("--virtual"))
            options.virtualOutput = words.takeFirst();
        else if (option == QLatin1String("--fault"))
            options.fault = words.takeFirst();
        else
            return QStringLiteral("unknown option %1").arg(option);
    }
    if (!options.fault.isEmpty() && options.virtualOutput.isEmpty())
        return QStringLiteral("--fault works only with --virtual");
    if (words.isEmpty())
        return QStringLiteral("no command given");
    options.command = words.takeFirst();
    options.arguments = words;
    const QString& command = options.command;
    const int count = options.arguments.size();
    const bool portraitFlag = count == 2 && options.arguments.at(1) == QLatin1String("--portrait");
    const bool fits = ((command == QLatin1String("list") || command == QLatin1String("clock")) && count == 0) ||
                      (command == QLatin1String("image") && (count == 1 || portraitFlag)) ||
                      (command == QLatin1String("area") && count == 3) ||
                      (command == QLatin1String("orientation") && count == 1 &&
                       (options.arguments.first() == QLatin1String("landscape") ||
                        options.arguments.first() == QLatin1String("portrait")));
    if (!fits)
        return QStringLiteral("cannot read the command '%1'").arg((QStringList{command} + options.arguments).join(' '));
    return QString();
}

bool applyFault(VirtualScreen& screen, const QString& fault)
{
    if (fault.isEmpty())
        return true;
    if (fault == QLatin1String("absent")) {
        screen.setPresent(false);
        return true;
    }
    const QStringList parts = fault.split('=');
    bool ok = false;
    const int n = parts.value(1).toInt(&ok);
    if (parts.size() != 2 || !ok || n < 1)
        return false;
    if (parts.first() == QLatin1String("fail-write"))
        screen.failWrite(n);
    else if (parts.first() == QLatin1String("unplug-after"))
        screen.unplugAfterWrites(n);
    else
        return false;
    return true;
}

QString wide(const wchar_t* text)
{
    return text ? QString::fromWCharArray(text) : QString();
}

int listScreens()
{
    const HidBackend& hid = currentHidBackend();
    if (hid.init() != 0)
        return fail(NoScreen, QStringLiteral("the HID library could not start"));
    hid_device_info* devices = hid.enumerate(ScreenVendorId, ScreenProductId);
    int found = 0;
    for (const hid_device_info* device = devices; device; device = device->next) {
        std::printf("%sScreen interface %d\n", found ? "\n" : "", device->interface_number);
        std::printf("  type:         %x %x\n", device->vendor_id, device->product_id);
        std::printf("  path:         %s\n", device->path ? device->path : "");
        std::printf("  usage:        %x (usage page %x)\n", device->usage, device->usage_page);
        std::printf("  Manufacturer: %s\n", qUtf8Printable(wide(device->manufacturer_string)));
        std::printf("  Product:      %s\n", qUtf8Printable(wide(device->product_string)));
        std::printf("  Release:      %x\n", device->release_number);
        std::printf("  Interface:    %d\n", device->interface_number);
        ++found;
    }
    hid.freeEnumeration(devices);
    return found ? Success : fail(NoScreen, QStringLiteral("no TFT Screen found (USB 04d9:fd01)"));
}

int findScreen()
{
    InitDeviceTable();
    if (EnumerateScreens() != 0)
        return fail(NoScreen, QStringLiteral("the HID library could not start"));
    if (screenDeviceTable.rows[0].foundB != 1)
        return fail(NoScreen, QStringLiteral("no TFT Screen found (USB 04d9:fd01)"));
    return Success;
}

int writeFailed(const char* what)
{
    return fail(WriteFailed, QStringLiteral("writing %1 to the TFT Screen failed").arg(QLatin1String(what)));
}

// libpng reports a damaged file on stderr by itself, beside the tool's own one-line error;
// stderr is pointed at nothing while a picture is decoded.
class QuietStderr
{
public:
    QuietStderr()
    {
        std::fflush(stderr);
#ifdef _WIN32
        const char* const nullDevice = "NUL";
#else
        const char* const nullDevice = "/dev/null";
#endif
        saved_ = dup(fileno(stderr));
        const int null = open(nullDevice, O_WRONLY);
        if (null >= 0) {
            dup2(null, fileno(stderr));
            close(null);
        }
    }
    ~QuietStderr()
    {
        if (saved_ >= 0) {
            dup2(saved_, fileno(stderr));
            close(saved_);
        }
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1;
};

// A whole-screen picture is read no larger than this; it is scaled to 320 x 170 anyway.
constexpr QSize LargestImage(1280, 1280);

int badPicture(const QString& file, const QString& problem)
{
    return fail(BadPicture, QStringLiteral("cannot read the picture %1: %2").arg(file, problem));
}

// Fills the screen and keeps the aspect: the picture is scaled until it covers the screen and the
// overhang is cut evenly from both sides. Portrait is composed upright and turned the way the
// screen expects its landscape-ordered pixels.
QImage composeFrame(const QImage& picture, bool portrait)
{
    const int width = portrait ? ScreenHeight : ScreenWidth;
    const int height = portrait ? ScreenWidth : ScreenHeight;
    const QImage scaled = picture.scaled(width, height, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    QImage frame = scaled.copy((scaled.width() - width) / 2, (scaled.height() - height) / 2, width, height);
    if (portrait)
        frame = frame.transformed(QTransform().rotate(270), Qt::SmoothTransformation);
    return frame.convertToFormat(QImage::Format_RGB16);
}

int sendImage(const QString& file, bool portrait)
{
    QString problem;
    QImage picture;
    {
        QuietStderr quiet;
        picture = korvo::picture::readWithin(file, LargestImage, &problem);
    }
    if (picture.isNull())
        return badPicture(file, problem);
    if (const int found = findScreen())
        return found;
    std::vector<uint8_t> frame(FrameBytes);
    ConvertImageToDeviceBuffer(composeFrame(picture, portrait), frame.data());
    if (!SendFrame(frame.data(), 0))
        return writeFailed("the picture");
    if (!SendOrientation(portrait ? 1 : 0) || !SendTimeSyncAfterOrientation())
        return writeFailed("the orientation and clock");
    return Success;
}

int sendArea(const QString& file, const QString& xText, const QString& yText)
{
    bool xOk = false, yOk = false;
    const int x = xText.toInt(&xOk);
    const int y = yText.toInt(&yOk);
    if (!xOk || !yOk)
        return fail(UsageError, QStringLiteral("X and Y must be whole numbers, not '%1' '%2'").arg(xText, yText));
    QString problem;
    QImage picture;
    {
        QuietStderr quiet;
        picture = korvo::picture::readAtMost(file, QSize(255, 255), &problem);
    }
    if (picture.isNull())
        return badPicture(file, problem);
    const int width = picture.width(), height = picture.height();
    if (!areaFitsOnePacket(width, height))
        return fail(BadPicture, QStringLiteral("the picture is %1 x %2 pixels; an area holds at most %3 pixels, "
                                               "at most 255 a side")
                                    .arg(width)
                                    .arg(height)
                                    .arg(AreaPixelLimit));
    if (x < 0 || y < 0 || x > ScreenWidth - width || y > ScreenHeight - height)
        return fail(BadPicture, QStringLiteral("a %1 x %2 area at (%3, %4) does not fit on the 320 x 170 screen")
                                    .arg(width)
                                    .arg(height)
                                    .arg(x)
                                    .arg(y));
    if (const int found = findScreen())
        return found;
    uint8_t pixels[AreaPayloadLimit];
    ConvertImageToDeviceBuffer(picture.convertToFormat(QImage::Format_RGB16), pixels);
    return SendAreaImageWithPos(pixels, x, y, width, height) ? Success : writeFailed("the area");
}

int execute(const Options& options)
{
    const QString& command = options.command;
    const QStringList& arguments = options.arguments;
    if (command == QLatin1String("list"))
        return listScreens();
    if (command == QLatin1String("image"))
        return sendImage(arguments.first(), arguments.size() == 2);
    if (command == QLatin1String("area"))
        return sendArea(arguments.at(0), arguments.at(1), arguments.at(2));
    if (const int found = findScreen())
        return found;
    if (command == QLatin1String("orientation"))
        return SendOrientation(arguments.first() == QLatin1String("portrait") ? 1 : 0) ? Success
                                                                                       : writeFailed("the orientation");
    return SendTimeSync() ? Success : writeFailed("the clock");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // The log is the program's; the tool speaks in one line per failure and its exit code.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});

    QStringList words = app.arguments();
    words.removeFirst();
    if (words.size() == 1 && (words.first() == QLatin1String("--help") || words.first() == QLatin1String("-h"))) {
        std::fputs(Help, stdout);
        std::fputs("\n", stdout);
        std::fputs(korvo::tftctl::SettingsHelp, stdout);
        return Success;
    }
    if (!words.isEmpty() && words.first() == QLatin1String("figures"))
        return figuresCommand(words.mid(1));
    if (korvo::tftctl::isSettingsCommand(words))
        return korvo::tftctl::runSettingsCommand(words);
    Options options;
    const QString problem = parse(words, options);
    if (!problem.isEmpty())
        return fail(UsageError, problem + QStringLiteral("; ") + QLatin1String(Usage));

    std::unique_ptr<VirtualScreen> virtualScreen;
    if (!options.virtualOutput.isEmpty()) {
        virtualScreen = std::make_unique<VirtualScreen>();
        if (!applyFault(*virtualScreen, options.fault))
            return fail(UsageError, QStringLiteral("unknown fault '%1'; ").arg(options.fault) + QLatin1String(Usage));
    }
    int code = execute(options);
    if (virtualScreen) {
        const QImage picture = virtualScreen->framebuffer().convertToFormat(QImage::Format_RGB888);
        // Written whole or not at all, like every file of ours: a full disk leaves no cut picture.
        QBuffer encoded;
        QString why = QStringLiteral("the picture cannot be encoded");
        const bool saved = encoded.open(QIODevice::WriteOnly) && picture.save(&encoded, "PNG") &&
                           korvo::writeWholeFile(options.virtualOutput, encoded.data(), &why);
        if (!saved && code == Success)
            code = fail(WriteFailed,
                        QStringLiteral("cannot save the virtual screen to %1: %2").arg(options.virtualOutput, why));
    }
    return code;
}

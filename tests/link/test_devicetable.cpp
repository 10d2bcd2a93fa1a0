#include "link/hidbackend.h"
#include "link/link.h"

#include <hidapi.h>

#include <QtTest>

#include <deque>

using namespace korvo::link;

struct FakeDevice
{
    QByteArray path;
    unsigned short productId;
    unsigned short usagePage;
    unsigned short usage;
    unsigned short release;
};
Q_DECLARE_METATYPE(QVector<FakeDevice>)

namespace {

// A HID bus of hand-made devices: what the enumeration lists and which paths were opened.
struct FakeBus
{
    int initResult = 0;
    QVector<FakeDevice> devices;
    std::deque<hid_device_info> records;
    QList<QByteArray> opened;
    int liveHandles = 0;
    int closes = 0;
} bus;

int fakeInit()
{
    return bus.initResult;
}

hid_device_info* fakeEnumerate(unsigned short, unsigned short)
{
    bus.records.clear();
    hid_device_info* next = nullptr;
    for (int i = bus.devices.size() - 1; i >= 0; --i) {
        const FakeDevice& device = bus.devices[i];
        hid_device_info info{};
        info.path = const_cast<char*>(device.path.constData());
        info.vendor_id = 0x04D9;
        info.product_id = device.productId;
        info.release_number = device.release;
        info.manufacturer_string = const_cast<wchar_t*>(L"Maker");
        info.product_string = const_cast<wchar_t*>(L"TFT Screen");
        info.usage_page = device.usagePage;
        info.usage = device.usage;
        info.interface_number = device.usagePage == 0xFFA0 ? 1 : 0;
        info.next = next;
        bus.records.push_front(info);
        next = &bus.records.front();
    }
    return next;
}

void fakeFree(hid_device_info*) {}

hid_device* fakeOpen(const char* path)
{
    for (const FakeDevice& device : bus.devices)
        if (device.path == path) {
            bus.opened << device.path;
            ++bus.liveHandles;
            return reinterpret_cast<hid_device*>(new int(0));
        }
    return nullptr;
}

int fakeWrite(hid_device*, const unsigned char*, size_t length)
{
    return int(length);
}

void fakeClose(hid_device* handle)
{
    delete reinterpret_cast<int*>(handle);
    --bus.liveHandles;
    ++bus.closes;
}

const HidBackend fakeBackend = {fakeInit, fakeEnumerate, fakeFree, fakeOpen, fakeWrite, fakeClose};

QStringList messages;
void keepMessage(QtMsgType, const QMessageLogContext&, const QString& text)
{
    messages << text;
}

const FakeDevice consumer{"/dev/hidraw1", 0xFD01, 0x000C, 1, 0x100};
const FakeDevice vendor{"/dev/hidraw2", 0xFD01, 0xFFA0, 1, 0x100};

} // namespace

class TestDeviceTable : public QObject
{
    Q_OBJECT

    void attach(const QVector<FakeDevice>& devices)
    {
        bus.devices = devices;
        InitDeviceTable();
        QCOMPARE(EnumerateScreens(), 0);
    }

private slots:
    void initTestCase() { setHidBackend(&fakeBackend); }

    void init()
    {
        CloseScreen();
        QCOMPARE(bus.liveHandles, 0); // no test may leave a handle behind
        bus.initResult = 0;
        bus.opened.clear();
        bus.closes = 0;
    }

    void record_data()
    {
        QTest::addColumn<QVector<FakeDevice>>("devices");
        QTest::addColumn<QByteArray>("pathA");
        QTest::addColumn<QByteArray>("pathB");
        QTest::newRow("both interfaces") << QVector<FakeDevice>{consumer, vendor} << QByteArray("/dev/hidraw1")
                                         << QByteArray("/dev/hidraw2");
        QTest::newRow("other usage") << QVector<FakeDevice>{{"/dev/hidraw3", 0xFD01, 0xFFA0, 2, 0x100}} << QByteArray()
                                     << QByteArray();
        QTest::newRow("other product") << QVector<FakeDevice>{{"/dev/hidraw4", 0xFD02, 0xFFA0, 1, 0x100}}
                                       << QByteArray() << QByteArray();
        QTest::newRow("later one wins") << QVector<FakeDevice>{vendor, {"/dev/hidraw7", 0xFD01, 0xFFA0, 1, 0x200}}
                                        << QByteArray() << QByteArray("/dev/hidraw7");
    }

    void record()
    {
        QFETCH(QVector<FakeDevice>, devices);
        QFETCH(QByteArray, pathA);
        QFETCH(QByteArray, pathB);
        attach(devices);
        const ScreenDeviceEntry& row = screenDeviceTable.rows[0];
        QCOMPARE(QByteArray(row.pathA), pathA);
        QCOMPARE(QByteArray(row.pathB), pathB);
        QCOMPARE(row.foundA, pathA.isEmpty() ? 0u : 1u);
        QCOMPARE(row.foundB, pathB.isEmpty() ? 0u : 1u);
    }

    void dumpNamesEveryScreenInterface()
    {
        messages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
        attach({{"/dev/hidraw8", 0xFD02, 0xFFA0, 1, 0x100}, vendor});
        qInstallMessageHandler(previous);
        const QStringList expected = {"type: 4d9 fd01",
                                      "path: /dev/hidraw2",
                                      "usge 1 uu ffa0",
                                      "Manufacturer: Maker",
                                      "Product:      TFT Screen",
                                      "Release:      100",
                                      "Interface:    1",
                                      "",
                                      ""};
        QCOMPARE(messages, expected);
    }

    void failingInitOpensNothing()
    {
        attach({consumer, vendor});
        bus.initResult = -1;
        QCOMPARE(EnumerateScreens(), -1);
        OpenScreenByName("TFT Screen");
        QVERIFY(bus.opened.isEmpty());
    }

    void openByName_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QList<QByteArray>>("opened");
        QTest::newRow("product name") << QByteArray("TFT Screen") << QList<QByteArray>{"/dev/hidraw1", "/dev/hidraw2"};
        QTest::newRow("translated title") << QByteArray("TFT 屏幕") << QList<QByteArray>{};
        QTest::newRow("trailing space") << QByteArray("TFT Screen ") << QList<QByteArray>{};
    }

    void openByName()
    {
        QFETCH(QByteArray, name);
        QFETCH(QList<QByteArray>, opened);
        attach({consumer, vendor});
        OpenScreenByName(name.constData());
        QCOMPARE(bus.opened, opened);
        QCOMPARE(commandHandle != nullptr, !opened.isEmpty());
    }

    void reopeningClosesWhatItReplaces()
    {
        attach({consumer, vendor});
        OpenScreenByName("TFT Screen");
        OpenScreenByName("TFT Screen");
        QCOMPARE(bus.liveHandles, 2);
        QCOMPARE(bus.closes, 2);
        CloseScreen();
        QCOMPARE(bus.liveHandles, 0);
    }

    void closeWithoutCommandHandleKeepsConsumer()
    {
        attach({consumer, vendor});
        OpenScreenByName("TFT Screen");
        QVERIFY(SendTimeSync()); // packets re-open and then close the vendor interface
        QVERIFY(commandHandle == nullptr);
        CloseScreen();
        QVERIFY(consumerHandle != nullptr);
        QCOMPARE(bus.liveHandles, 1);
        OpenScreenByName("TFT Screen");
        QCOMPARE(bus.liveHandles, 2);
    }

    void screenArrivingLater()
    {
        attach({});
        OpenScreenByName("TFT Screen");
        QVERIFY(commandHandle == nullptr);
        bus.devices = {{"/dev/hidraw9", 0xFD01, 0xFFA0, 1, 0x100}};
        SetArrivedScreenPath("/dev/hidraw9");
        OpenScreenByName("TFT Screen");
        QCOMPARE(bus.opened, QList<QByteArray>{"/dev/hidraw9"});
        QVERIFY(commandHandle != nullptr);
    }

    void cleanupTestCase()
    {
        CloseScreen();
        setHidBackend(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestDeviceTable)
#include "test_devicetable.moc"

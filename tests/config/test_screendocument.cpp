// SPDX-License-Identifier: GPL-3.0-or-later
// The document: what an apply that landed leaves in Config.ini.

#include "config/screendocument.h"
#include "tempconfig.h"

#include <QtTest>

#include <sys/inotify.h>
#include <unistd.h>

using namespace korvo;

class TestScreenDocument : public QObject
{
    Q_OBJECT

private slots:
    // The committed snapshot carries the slots and the text row in one write of Config.ini; the next
    // start reads back the same.
    void commitWritesOnceForTheNextStart()
    {
        TempConfig temp;
        QVERIFY(temp.writeConfig("[Config]\nMode=1\nHor=0\nCurRectID=1\n"));
        ScreenDocument document;
        document.load();
        LayoutState applied = document.committedState();
        applied.Hor = 1;
        applied.curRectId = 2;
        applied.customShow = {{{4, 1, 3, 2, 0}, {-1, -1, 0, -1, -1}}};
        applied.record.String_[FreeText] = QStringLiteral("kept");
        // Every write of the file ends in a close after writing or a rename onto its name.
        const int watch = inotify_init1(IN_NONBLOCK);
        QVERIFY(watch >= 0 && inotify_add_watch(watch, QFile::encodeName(temp.configDir()).constData(),
                                                IN_CLOSE_WRITE | IN_MOVED_TO) >= 0);
        QVERIFY(document.commit(applied).write());
        alignas(inotify_event) char events[4096];
        int writes = 0;
        const ssize_t length = read(watch, events, sizeof events);
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            writes += qstrcmp(event->name, "Config.ini") == 0 ? 1 : 0;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
        close(watch);
        QCOMPARE(writes, 1);
        ScreenDocument restarted;
        restarted.load();
        QCOMPARE(restarted.committedState(), applied);
    }

    // The shipped free text speaks the interface's language; a text of the user's own is kept.
    void freeTextLanguage_data()
    {
        QTest::addColumn<QByteArray>("stored"); // as Config.ini holds it
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("shown");
        QTest::newRow("shipped, Chinese")
            << QByteArray("Hello from Korvo TFT") << false << QString::fromUtf8("Korvo TFT 向你问好");
        QTest::newRow("stored in Chinese, English")
            << QByteArray("Korvo TFT \\x5411\\x4f60\\x95ee\\x597d") << true << "Hello from Korvo TFT";
        QTest::newRow("the user's own") << QByteArray("Hello from Korvo") << false << "Hello from Korvo";
    }
    void freeTextLanguage()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, english);
        TempConfig temp;
        const QByteArray file = "[Config]\nMode=1\n[CUSTOM0]\nString_7=" + stored + "\n";
        QVERIFY(temp.writeConfig(file));
        ScreenDocument document;
        document.load();
        document.setEnglishInterface(english);
        QTEST(document.profile().custom[0].String_[FreeText], "shown");
        QTEST(document.committedState().record.String_[FreeText], "shown");
        QCOMPARE(temp.readConfig(), file);
    }
};

QTEST_MAIN(TestScreenDocument)
#include "test_screendocument.moc"

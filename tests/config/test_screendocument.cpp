// SPDX-License-Identifier: GPL-3.0-or-later
// The document: what an apply that landed leaves in Config.ini, in one write.

#include "config/configstore.h"
#include "config/screendocument.h"
#include "tempconfig.h"

#include <QtTest>

#ifdef Q_OS_LINUX
#include <sys/inotify.h>
#include <unistd.h>
#endif

using namespace korvo;

class TestScreenDocument : public QObject
{
    Q_OBJECT

private slots:
    // The committed snapshot carries the slots and the text row; the next start reads back the
    // same, and the file was written once for all of it.
    void commitWritesEverythingOnce()
    {
        TempConfig temp;
        QVERIFY(temp.writeConfig("[Config]\nMode=0\nHor=0\nThemeID=2\nCurRectID=1\n"));
        ScreenDocument document;
        document.load();
        QCOMPARE(document.committedState().ThemeID, uint8_t(2));

        LayoutState applied = document.committedState();
        applied.Mode = 1;
        applied.Hor = 1;
        applied.curRectId = 2;
        applied.customShow = {{{4, 1, 3, 2, 0}, {-1, -1, 0, -1, -1}}};
        applied.record.String_[FreeText] = QStringLiteral("kept");
#ifdef Q_OS_LINUX
        // Every write of the file ends in a close after writing or a rename onto its name.
        const int watch = inotify_init1(IN_NONBLOCK);
        QVERIFY(watch >= 0);
        QVERIFY(inotify_add_watch(watch, QFile::encodeName(temp.configDir()).constData(),
                                  IN_CLOSE_WRITE | IN_MOVED_TO) >= 0);
#endif
        QVERIFY(document.commit(applied));
#ifdef Q_OS_LINUX
        alignas(inotify_event) char events[4096];
        int writes = 0;
        for (ssize_t length; (length = read(watch, events, sizeof events)) > 0;) {
            for (char* at = events; at < events + length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                writes += event->len > 0 && qstrcmp(event->name, "Config.ini") == 0 ? 1 : 0;
                at += sizeof(inotify_event) + event->len;
            }
        }
        close(watch);
        QCOMPARE(writes, 1);
#endif
        QCOMPARE(document.committedState(), applied);
        QCOMPARE(curRectId(), 2);
        QCOMPARE(loadCustomShow(), applied.customShow);
        ScreenDocument restarted;
        restarted.load();
        const LayoutState read = restarted.committedState();
        QCOMPARE((QList<int>{read.Mode, read.Hor, read.curRectId}), (QList<int>{1, 1, 2}));
        QCOMPARE(read.customShow, applied.customShow);
        QCOMPARE(read.record.String_[FreeText], QStringLiteral("kept"));
    }
};

QTEST_MAIN(TestScreenDocument)
#include "test_screendocument.moc"

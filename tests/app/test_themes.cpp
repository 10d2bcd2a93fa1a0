// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in themes chosen on the window's Theme page and applied, as the screen then shows them
// and Config.ini keeps them.

#include "config/themeprofile.h"
#include "widgets/tavopushbutton.h"

#include "windowfixture.h"

using namespace korvo;

class TestThemes : public QObject, WindowFixture
{
    Q_OBJECT

public:
    TestThemes() : WindowFixture("ThemeTest") {}

private slots:
    void init() { QVERIFY(freshHome()); }
    void cleanup() { program.reset(); }

    // From the shipped custom layout of the first start to each built-in theme, chosen on the Theme
    // page and applied, each orientation twice.
    void builtInThemeApplied_data()
    {
        QTest::addColumn<bool>("portrait");
        QTest::addColumn<int>("theme");
        QTest::addColumn<QPoint>("point"); // on the screen, where only this theme has this colour
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("landscape, theme 1") << false << 0 << QPoint(248, 48) << qRgb(33, 52, 90);
        QTest::newRow("landscape, theme 3") << false << 2 << QPoint(298, 152) << qRgb(24, 65, 57);
        QTest::newRow("portrait, theme 2") << true << 1 << QPoint(234, 142) << qRgb(165, 89, 99);
        QTest::newRow("portrait, theme 4") << true << 3 << QPoint(36, 152) << qRgb(33, 81, 99);
    }
    void builtInThemeApplied()
    {
        QFETCH(bool, portrait);
        QFETCH(int, theme);
        QFETCH(QPoint, point);
        QFETCH(QRgb, colour);
        QVERIFY(start());
        QVERIFY(child<TavoPushButton>("btnImage")->buttonChecked());
        QCOMPARE(screen.framebuffer().pixel(20, 90), qRgb(173, 85, 99)); // the sky over the hills
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        ThemeProfile before;
        loadThemeProfile(before);
        click("btnTheme");
        if (portrait)
            click("btnRemote");
        QListWidget* themes = nullptr;
        for (QListWidget* list : window->findChildren<QListWidget*>())
            themes = list->isVisible() && list->count() == ThemeCount ? list : themes;
        QVERIFY(themes);
        QTest::mouseClick(themes->viewport(), Qt::LeftButton, {}, themes->visualItemRect(themes->item(theme)).center());
        click("btnApply");
        QCOMPARE(screen.framebuffer().pixel(point), colour);

        const QSettings stored(configFilePath(), QSettings::IniFormat);
        QCOMPARE(stored.value("Config/Mode").toInt(), 0);
        QCOMPARE(stored.value("Config/ThemeID").toInt(), theme);
        QCOMPARE(stored.value("Config/Hor").toInt(), portrait ? 1 : 0);
        ThemeProfile after;
        loadThemeProfile(after);
        // The other orientation keeps its own layouts: a rotation must not bring this one.
        QCOMPARE(portrait ? after.landscape : after.portrait, portrait ? before.landscape : before.portrait);

        program.reset();
        screen.reset();
        QVERIFY(start());
        QVERIFY(child<TavoPushButton>("btnTheme")->buttonChecked());
        click("btnApply");
        QCOMPARE(screen.framebuffer().pixel(point), colour);
    }
};

QTEST_MAIN(TestThemes)
#include "test_themes.moc"

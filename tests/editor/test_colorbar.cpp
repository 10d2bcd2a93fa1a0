#include "editor/colorbar.h"
#include "widgets/tavopushbutton.h"

#include <QSignalSpy>
#include <QtTest>

using korvo::ColorBar;
using korvo::TavoPushButton;

class TestColorBar : public QObject
{
    Q_OBJECT

private slots:
    void swatchChoosesAndCloses_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("white") << 0 << QRect(14, 17, 20, 22);
        QTest::newRow("green") << 5 << QRect(129, 17, 20, 22);
    }

    void swatchChoosesAndCloses()
    {
        QFETCH(int, index);
        QFETCH(QRect, geometry);
        QWidget window;
        auto* bar = new ColorBar(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(bar->size(), QSize(163, 49));
        QSignalSpy chosen(bar, &ColorBar::SendFontColor);
        auto* swatch = bar->findChild<TavoPushButton*>(QString("swatch%1").arg(index));
        QVERIFY(swatch);
        QCOMPARE(swatch->geometry(), geometry);
        QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(10, 11));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).value<quint8>(), quint8(index));
        QVERIFY(!bar->isVisible());
    }
};

QTEST_MAIN(TestColorBar)
#include "test_colorbar.moc"

#include "config/tempconfig.h"
#include "editor/selfplaintextedit.h"
#include "editor/zoomwidget.h"

#include <QtTest>

using namespace korvo;

class TestZoomWidget : public QObject
{
    Q_OBJECT

private slots:
    void freeTextLimit_data();
    void freeTextLimit();
};

void TestZoomWidget::freeTextLimit_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("hor");
    QTest::addColumn<int>("expectedLimit");
    QTest::addColumn<int>("expectedLength");
    QTest::newRow("English landscape keeps 55") << true << 0 << 60 << 55;
    QTest::newRow("English portrait cuts to 40") << true << 1 << 40 << 40;
    QTest::newRow("Chinese portrait cuts to 40") << false << 1 << 40 << 40;
}

void TestZoomWidget::freeTextLimit()
{
    QFETCH(bool, english);
    QFETCH(int, hor);
    QFETCH(int, expectedLimit);
    QFETCH(int, expectedLength);
    TempConfig temp;
    ZoomWidget widget;
    SelfPlainTextEdit* editor = widget.textEditor();
    QVERIFY(editor->isHidden());
    widget.setEnglishInterface(english);
    editor->setMaxLength(60);
    editor->setPlainText(QString(55, QLatin1Char('x')));
    widget.SetOrientation(hor);
    QCOMPARE(editor->maxLength(), expectedLimit);
    QCOMPARE(editor->toPlainText(), QString(expectedLength, QLatin1Char('x')));
}

QTEST_MAIN(TestZoomWidget)
#include "test_zoomwidget.moc"

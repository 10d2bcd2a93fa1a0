// A text the translation files lack stays Chinese in the English interface, and nothing at run
// time says so; these checks catch it when the code gains a text, and check that what the build
// installs really carries the translations.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Entry
{
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete" or empty when done
};

bool readEntries(const QString& path, QVector<Entry>* entries, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + ": " + file.errorString();
        return false;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Entry entry;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            entry = Entry{context, QString(), QString(), QString()};
        } else if (xml.name() == QLatin1String("source")) {
            entry.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            entry.type = xml.attributes().value("type").toString();
            entry.translation = xml.readElementText();
            entries->append(entry);
        }
    }
    if (xml.hasError()) {
        *error = QString("%1: line %2: %3").arg(path).arg(xml.lineNumber()).arg(xml.errorString());
        return false;
    }
    return true;
}

// Describes the first entry that is not ready to ship; empty when every entry is.
QString firstOpenEntry(const QVector<Entry>& entries, bool translationIsSource)
{
    for (const Entry& e : entries) {
        const QString where = e.context + " \"" + e.source + "\"";
        if (!e.type.isEmpty())
            return where + " is " + e.type;
        if (e.translation.isEmpty())
            return where + " has no translation";
        if (translationIsSource && e.translation != e.source)
            return where + " is translated as \"" + e.translation + "\"";
    }
    return QString();
}

QString tsPath(const QString& name)
{
    return qEnvironmentVariable("KORVO_SOURCE_DIR") + "/resources/translations/" + name;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

    static void tsFiles()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("translationIsSource");
        QTest::newRow("sc.ts") << "sc.ts" << true;
        QTest::newRow("en.ts") << "en.ts" << false;
    }

private slots:
    void entriesAreFinished_data() { tsFiles(); }
    void entriesAreFinished()
    {
        QFETCH(QString, name);
        QFETCH(bool, translationIsSource);
        QVector<Entry> entries;
        QString error;
        QVERIFY2(readEntries(tsPath(name), &entries, &error), qPrintable(error));
        QVERIFY2(!entries.isEmpty(), qPrintable(name + " holds no entry"));
        const QString open = firstOpenEntry(entries, translationIsSource);
        QVERIFY2(open.isEmpty(), qPrintable(name + ": " + open));
    }

    // lupdate over a copy: a text new in the code arrives unfinished, one gone from it is
    // marked vanished (no -no-obsolete here, unlike the update script, so that it shows).
    void entriesMatchTheCode_data() { tsFiles(); }
    void entriesMatchTheCode()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY2(dir.isValid(), qPrintable("temporary folder: " + dir.errorString()));
        const QString copy = dir.filePath(name);
        QVERIFY2(QFile::copy(tsPath(name), copy), qPrintable("cannot copy " + tsPath(name)));

        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(KORVO_LUPDATE, {"-silent", "-locations", "none", "-extensions", "cpp,h,ui",
                                      qEnvironmentVariable("KORVO_SOURCE_DIR") + "/src", "-ts", copy});
        QVERIFY2(lupdate.waitForFinished(120000), qPrintable("lupdate: " + lupdate.errorString()));
        QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
                 qPrintable("lupdate failed: " + QString::fromLocal8Bit(lupdate.readAll()).trimmed()));

        QVector<Entry> entries;
        QString error;
        QVERIFY2(readEntries(copy, &entries, &error), qPrintable(error));
        const QString open = firstOpenEntry(entries, false);
        QVERIFY2(open.isEmpty(),
                 qPrintable(name + ": " + open + " after lupdate; run scripts/update-translations.sh and translate"));
    }

    void builtTranslation_data()
    {
        QTest::addColumn<QString>("qm");
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        const QString lang = qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/lang/";
        const auto row = [](const char* name, const QString& qm, const char* context, const char* source,
                            const char* expected) {
            QTest::newRow(name) << qm << QString(context) << QString(source) << QString(expected);
        };
        row("lang/en.qm OK", lang + "en.qm", "korvo::ExitMessageBox", "确定", "OK");
        row("lang/en.qm Cancel", lang + "en.qm", "korvo::ExitMessageBox", "取消", "Cancel");
        row("lang/en.qm delete question", lang + "en.qm", "korvo::PictureList", "是否删除此图片？",
            "Do you want to delete this picture?");
        row("lang/sc.qm Cancel", lang + "sc.qm", "korvo::ExitMessageBox", "取消", "取消");
        row(":/i18n/en.qm Clip", ":/i18n/en.qm", "korvo::EditBar", "修剪", "Clip");
        row(":/i18n/sc.qm OK", ":/i18n/sc.qm", "korvo::ExitMessageBox", "确定", "确定");
    }

    void builtTranslation()
    {
        QFETCH(QString, qm);
        QFETCH(QString, context);
        QFETCH(QString, source);
        QFETCH(QString, expected);
        QTranslator translator;
        QVERIFY2(translator.load(qm), qPrintable("cannot load " + qm));
        QCOMPARE(translator.translate(qPrintable(context), source.toUtf8().constData()), expected);
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "test_translations.moc"

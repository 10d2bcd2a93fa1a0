// A text the translation files lack stays Chinese in the English interface, and nothing at run
// time says so; this check catches it when the code gains a text. That the build installs the
// translations shows in the window's language test.

#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// The first entry not ready to ship, or empty; lupdate has read the file, so it is well formed.
QString firstOpenEntry(const QString& path, bool translationIsSource)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return path + ": " + file.errorString();
    QXmlStreamReader xml(&file);
    QString source;
    int entries = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        if (xml.name() != QLatin1String("translation"))
            continue;
        ++entries;
        const QString type = xml.attributes().value("type").toString();
        const QString translation = xml.readElementText();
        if (!type.isEmpty() || translation.isEmpty() || (translationIsSource && translation != source))
            return '"' + source + "\" is " + (type.isEmpty() ? "translated as \"" + translation + '"' : type);
    }
    return entries ? QString() : "no entry";
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void entriesAreFinished_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("translationIsSource");
        QTest::newRow("sc.ts") << "sc.ts" << true;
        QTest::newRow("en.ts") << "en.ts" << false;
    }

    // Checked after lupdate over a copy: a text new in the code arrives unfinished, one gone from
    // it is marked vanished (no -no-obsolete here, unlike the update script, so that it shows).
    void entriesAreFinished()
    {
        QFETCH(QString, name);
        QFETCH(bool, translationIsSource);
        const QString sources = qEnvironmentVariable("KORVO_SOURCE_DIR");
        QTemporaryDir dir;
        const QString copy = dir.filePath(name);
        QVERIFY(QFile::copy(sources + "/resources/translations/" + name, copy));
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(KORVO_LUPDATE,
                      {"-silent", "-locations", "none", "-extensions", "cpp,h,ui", sources + "/src", "-ts", copy});
        QVERIFY2(lupdate.waitForFinished(120000) && lupdate.exitCode() == 0, lupdate.readAll().constData());
        const QString open = firstOpenEntry(copy, translationIsSource);
        QVERIFY2(open.isEmpty(), qPrintable(name + ": " + open + "; run scripts/update-translations.sh and translate"));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "test_translations.moc"

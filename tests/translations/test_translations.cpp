// SPDX-License-Identifier: GPL-3.0-or-later
// A text the translation files lack stays Chinese in the English interface, and nothing at run
// time says so.

#include <QtTest>

namespace {

// The first entry not ready to ship, or empty.
QString firstOpenEntry(const QString& path, bool translationIsSource)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return path + ": " + file.errorString();
    static const QRegularExpression entry(R"(<source>(.*)</source>.*<translation( type="\w+")?>(.*)</translation>)",
                                          QRegularExpression::DotMatchesEverythingOption);
    const QStringList messages = QString::fromUtf8(file.readAll()).split("</message>");
    for (int i = 0; i + 1 < messages.size(); ++i) {
        const QRegularExpressionMatch match = entry.match(messages[i]);
        if (!match.hasMatch() || !match.captured(2).isEmpty() || match.captured(3).isEmpty() ||
            (translationIsSource && match.captured(3) != match.captured(1)))
            return messages[i].section("<message>", -1).simplified();
    }
    return messages.size() > 1 ? QString() : "no entry";
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

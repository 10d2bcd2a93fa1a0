// Reading and writing a Config.ini grown to many sections (a hand-made or damaged one): the
// start must not stall on it. 20,000 sections are to read in well under 50 ms.

#include "config/inifile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QByteArray manySections(int count)
{
    QByteArray text;
    for (int n = 0; n < count; ++n)
        text += "[S" + QByteArray::number(n) + "]\nXPt=" + QByteArray::number(n) + "\n";
    return text;
}

struct Fixture
{
    explicit Fixture(int sections)
    {
        QFile file(path);
        const QByteArray text = manySections(sections);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            qFatal("cannot write %s", qPrintable(path));
    }
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("Config.ini"));
};

void BM_ReadSections(benchmark::State& state)
{
    const Fixture fixture(int(state.range(0)));
    for (auto _ : state) {
        korvo::IniFile file = korvo::IniFile::read(fixture.path);
        benchmark::DoNotOptimize(file.state());
    }
}
BENCHMARK(BM_ReadSections)->Arg(2000)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_WriteSections(benchmark::State& state)
{
    const Fixture fixture(int(state.range(0)));
    korvo::IniFile file = korvo::IniFile::read(fixture.path);
    for (auto _ : state) {
        file.setValue(QStringLiteral("Config/Mode"), 1);
        if (!file.write())
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteSections)->Arg(2000)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

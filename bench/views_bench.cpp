// The list and table fills as the window runs them, headless: the window is
// shown on the offscreen platform, so its immediate repaints really paint.
#include "base/filenames.h"
#include "base/regional.h"
#include "platform/settingsstore.h"
#include "window/tform1.h"
#include "base/textlines.h"
#include "views/linewriter.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QDir>
#include <QTableWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A window in a working folder of its own, created as the program creates it.
class Bench
{
public:
    Bench()
    {
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        TForm1Environment env;
        env.store = openIniSettingsStore(m_dir.filePath(QStringLiteral("Orlix.ini")));
        env.localAddress = [] { return QString(); };
        form = std::make_unique<TForm1>(std::move(env));
        form->show();
    }
    ~Bench()
    {
        form.reset();
        QDir::setCurrent(m_previous);
    }

    static void write(const QString &name, const QStringList &lines)
    {
        TextLines list;
        list.setLines(lines);
        list.saveToFile(name);
    }

    std::unique_ptr<TForm1> form;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

QString callsign(qsizetype i)
{
    // Distinct callsigns of five or six characters: prefix letter, digit, suffix.
    static const char16_t letters[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QString call;
    call += QChar(letters[i % 26]);
    call += QChar(u'0' + char16_t((i / 26) % 10));
    qsizetype rest = i / 260;
    for (int k = 0; k < 3 || rest > 0; ++k) {
        call += QChar(letters[rest % 26]);
        rest /= 26;
    }
    return call;
}

QString locator(qsizetype i)
{
    const char16_t field[] = {char16_t(u'A' + i % 18), char16_t(u'A' + (i / 18) % 18)};
    return QString::fromUtf16(field, 2) + QString::number((i / 324) % 10) + QString::number((i / 3240) % 10)
        + QChar(char16_t(u'a' + (i / 7) % 24)) + QChar(char16_t(u'a' + (i / 11) % 24));
}

void BM_GridsFill(benchmark::State &state)
{
    Bench bench;
    QStringList entries;
    for (qsizetype i = 0; i < state.range(0); ++i)
        entries << callsign(i) + u',' + locator(i);
    Bench::write(files::kGrids, entries);
    for (auto _ : state)
        bench.form->ShowGrids();
    state.counters["entries"] = double(entries.size());
}
BENCHMARK(BM_GridsFill)->Arg(600)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts of the grids fill: reading the file into a sorted list, and
// appending the lines to an empty list view.
void BM_GridsLoad(benchmark::State &state)
{
    Bench bench;
    QStringList entries;
    for (qsizetype i = 0; i < state.range(0); ++i)
        entries << callsign(i) + u',' + locator(i);
    Bench::write(files::kGrids, entries);
    for (auto _ : state) {
        TextLines list(TextLines::Sorted);
        list.loadFromFile(files::kGrids);
        benchmark::DoNotOptimize(list.count());
    }
}
BENCHMARK(BM_GridsLoad)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AppendLines(benchmark::State &state)
{
    Bench bench;
    QStringList entries;
    for (qsizetype i = 0; i < state.range(0); ++i)
        entries << callsign(i) + u',' + locator(i);
    const QColor colours[] = {QColor(0x00, 0x80, 0x00), QColor(0x00, 0x00, 0xFF), QColor(0xFF, 0x00, 0x00)};
    for (auto _ : state) {
        state.PauseTiming();
        bench.form->RichEdit1->clear();
        state.ResumeTiming();
        LineWriter writer(bench.form->RichEdit1);
        for (qsizetype l = 0; l < entries.size(); ++l)
            writer.append(entries.at(l), colours[l % 3]);
    }
}
BENCHMARK(BM_AppendLines)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StationsFill(benchmark::State &state)
{
    Bench bench;
    QStringList calls;
    for (qsizetype i = 0; i < state.range(0); ++i)
        calls << callsign(i);
    Bench::write(files::kCalls, calls);
    for (auto _ : state)
        bench.form->ShowActiveStations();
}
BENCHMARK(BM_StationsFill)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

QStringList reportLines(qsizetype count)
{
    QStringList lines;
    for (qsizetype i = 0; i < count; ++i) {
        const int day = 28 - int(i / 12);
        lines << QStringLiteral("%1Nov2026 %2:%3:00,  %4,    \t-%5,\t20m, FT8, %6, England, ")
                     .arg(day, 2, 10, QChar(u'0'))
                     .arg(23 - int(i % 12), 2, 10, QChar(u'0'))
                     .arg(int(i % 60), 2, 10, QChar(u'0'))
                     .arg(callsign(i))
                     .arg(i % 25)
                     .arg(locator(i).left(4));
    }
    return lines;
}

void BM_ReportList(benchmark::State &state)
{
    Bench bench;
    Bench::write(files::kReports, reportLines(state.range(0)));
    for (auto _ : state)
        bench.form->ShowReports();
}
BENCHMARK(BM_ReportList)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReportTable(benchmark::State &state)
{
    Bench bench;
    Bench::write(files::kReports, reportLines(state.range(0)));
    for (auto _ : state) {
        bench.form->ShowReportTable();
        bench.form->StringGrid1->show();
        bench.form->StringGrid1->repaint();
    }
}
BENCHMARK(BM_ReportTable)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TavikRepView"));
    // The operator's settings decide the collation of the sorted lists.
    setRegional(regionalFromLocale(QLocale(QLocale::English, QLocale::UnitedKingdom)));
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}

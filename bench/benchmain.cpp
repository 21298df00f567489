#include "processing/benchdata.h"

#include "base/regional.h"

#include <QCoreApplication>
#include <QLocale>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstring>

// tavik_bench [benchmark flags]
// tavik_bench --write-data FOLDER LOCALE
//     writes the histories and the answer the benchmarks use, sorted under the
//     regional collation of LOCALE ("C", "en_GB"); the benchmarks run this in
//     a child process, and it serves to compare with sort(1).
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--write-data") == 0) {
        setRegional(regionalFromLocale(QLocale(QString::fromLocal8Bit(argv[3]))));
        benchdata::writeAll(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// One application for every benchmark, made before any runs: the link needs an event loop, QPainter and the
// window need a GUI application, and whichever benchmark ran first must not decide which kind exists.

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    // The flags first: the application sets the machine's locale, and "0,2" is not how they write numbers.
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argcQt = 1;
    // Never destroyed: the process ends right after the benchmarks, and tearing Qt down at exit races its
    // worker threads.
    new QApplication(argcQt, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#pragma once

// The main() of a benchmark program that paints: QPainter on a QImage needs
// the fonts and the raster engine of a QGuiApplication.
//
//   int main(int argc, char** argv) { return runGuiBenchmarks(argc, argv); }

#include <benchmark/benchmark.h>

#include <QGuiApplication>

inline int runGuiBenchmarks(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

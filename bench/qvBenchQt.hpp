#pragma once
// The one QApplication of the benchmark program, for the Qt peers: made at
// the first call, on the offscreen platform unless QT_QPA_PLATFORM names
// another, and kept until the program ends. Qt allows one application
// object a process, so every Qt case asks here.

#if defined(ORVANE_BENCH_QT)

#include <QApplication>

#include <cstdlib>

namespace bench_support {

inline QApplication& qt_application() {
    static int argc = 1;
    static char name[] = "orvane_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* const app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    return *app;
}

}  // namespace bench_support

#endif

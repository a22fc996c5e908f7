#pragma once

// What the benchmarks share: a program folder of their own, a headless
// display unless one is given, and the median of the timings.
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <algorithm>

struct BenchEnvironment {
    QTemporaryDir home;
    BenchEnvironment() {
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
};

inline double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

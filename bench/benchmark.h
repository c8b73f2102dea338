#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace qm::bench {

// One figure: a name and a function that measures it and returns seconds.
struct Figure {
    QString name;
    std::function<double()> measure;
};

std::vector<Figure>& figures();

struct Registration {
    Registration(const QString& name, std::function<double()> measure) {
        figures().push_back({name, std::move(measure)});
    }
};

// The median of running body `runs` times, in seconds.
double medianSeconds(int runs, const std::function<void()>& body);

}  // namespace qm::bench

#define QM_BENCH_CONCAT2(a, b) a##b
#define QM_BENCH_CONCAT(a, b) QM_BENCH_CONCAT2(a, b)
// QM_FIGURE("name", [] { ...; return seconds; });
#define QM_FIGURE(name, ...)                                                     \
    static const ::qm::bench::Registration QM_BENCH_CONCAT(qmFigure, __LINE__) { \
        QStringLiteral(name), __VA_ARGS__                                        \
    }

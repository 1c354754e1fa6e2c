#include "Figures.h"

#include <QDateTime>
#include <QMap>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zomi::load {

double Percentile(const std::vector<double>& sorted, double q) {
    if (sorted.empty()) return 0;
    const size_t rank = static_cast<size_t>(std::ceil(q * static_cast<double>(sorted.size())));
    return sorted[std::min(sorted.size() - 1, rank == 0 ? 0 : rank - 1)];
}

namespace {

// The longest time in which no workstation had a save answered: with a
// server or node that failed during the run, from its failure to the first
// save after it.
void PrintLongestWithoutSave(const Journal& journal) {
    std::vector<qint64> ends;
    for (const ActionRecord& a : journal.actions)
        if (a.error.isEmpty() && a.endedAt > 0 && a.action.contains(QLatin1String("save")))
            ends.push_back(a.endedAt);
    std::sort(ends.begin(), ends.end());
    qint64 longest = 0;
    qint64 until = 0;
    for (size_t i = 1; i < ends.size(); ++i)
        if (ends[i] - ends[i - 1] > longest) {
            longest = ends[i] - ends[i - 1];
            until = ends[i];
        }
    if (until == 0) return;
    std::printf(
        "longest time without an answered save %lld ms (until %s)\n",
        static_cast<long long>(longest),
        qPrintable(QDateTime::fromMSecsSinceEpoch(until).toString(QStringLiteral("HH:mm:ss.zzz"))));
}

}  // namespace

void PrintFigures(const Journal& journal, double seconds) {
    QMap<QString, std::vector<double>> latencies;
    QMap<QString, int> errors;
    QMap<QString, int> errorKinds;
    for (const ActionRecord& a : journal.actions) {
        if (a.error.isEmpty()) {
            latencies[a.action].push_back(a.ms);
        } else {
            ++errors[a.action];
            ++errorKinds[a.action + QStringLiteral(": ") + a.error];
        }
        latencies[a.action];
    }
    std::printf("%-36s %7s %8s %8s %8s %8s %8s %6s\n", "action", "count", "per s", "p50 ms",
                "p95 ms", "p99 ms", "max ms", "errors");
    for (auto it = latencies.begin(); it != latencies.end(); ++it) {
        std::vector<double>& ms = it.value();
        std::sort(ms.begin(), ms.end());
        std::printf("%-36s %7zu %8.2f %8.1f %8.1f %8.1f %8.1f %6d\n", qPrintable(it.key()),
                    ms.size(), static_cast<double>(ms.size()) / seconds, Percentile(ms, 0.5),
                    Percentile(ms, 0.95), Percentile(ms, 0.99), ms.empty() ? 0.0 : ms.back(),
                    errors.value(it.key()));
    }
    int acknowledged = 0;
    int conflicts = 0;
    for (const SaveRecord& s : journal.saves) {
        acknowledged += s.outcome == Outcome::Acknowledged;
        conflicts += s.outcome == Outcome::Conflict;
    }
    for (const InsertRecord& i : journal.inserts)
        acknowledged += i.outcome == Outcome::Acknowledged;
    std::printf("saves acknowledged %d (%.2f per s), refused as conflicts %d\n", acknowledged,
                acknowledged / seconds, conflicts);
    PrintLongestWithoutSave(journal);
    std::printf("errors by kind:%s\n", errorKinds.isEmpty() ? " none" : "");
    for (auto it = errorKinds.begin(); it != errorKinds.end(); ++it)
        std::printf("  %6d  %s\n", it.value(), qPrintable(it.key()));
    // Messages of one kind differ in their numbers only; one stands for all.
    QMap<QString, std::pair<int, QString>> messages;
    for (const MessageRecord& m : journal.messages) {
        auto& [count, sample] = messages[m.kind];
        if (count++ == 0) sample = m.text;
    }
    std::printf("what the users read:%s\n", messages.isEmpty() ? " nothing" : "");
    for (auto it = messages.begin(); it != messages.end(); ++it)
        std::printf("  %6d  %s (\"%s\")\n", it->first, qPrintable(it.key()),
                    qPrintable(it->second));
}

}  // namespace zomi::load

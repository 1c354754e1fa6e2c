#include "common/Scramble.h"

#include <QRandomGenerator>

#include "common/Codepage.h"

namespace zomi {

namespace {

constexpr int kFirstFiller = 33;
constexpr int kLastFiller = 87;
constexpr int kLeadingFillers = 3;

}  // namespace

QByteArray ScramblePassword(const QByteArray& plain) {
    // A fresh seed per call, so that saving one profile twice never gives the
    // same stored text.
    QRandomGenerator random = QRandomGenerator::securelySeeded();
    auto filler = [&random] {
        return static_cast<char>(random.bounded(kFirstFiller, kLastFiller + 1));
    };
    QByteArray out;
    out.reserve(kLeadingFillers + 2 * plain.size());
    for (int i = 0; i < kLeadingFillers; ++i) out.append(filler());
    for (const char c : plain) {
        out.append(static_cast<char>((static_cast<unsigned char>(c) + 1) & 0xFF));
        out.append(filler());
    }
    return out;
}

QByteArray UnscramblePassword(const QByteArray& scrambled) {
    QByteArray out;
    if (scrambled.size() <= kLeadingFillers) return out;
    out.reserve((scrambled.size() - kLeadingFillers + 1) / 2);
    for (qsizetype i = kLeadingFillers; i < scrambled.size(); i += 2)
        out.append(static_cast<char>((static_cast<unsigned char>(scrambled.at(i)) + 255) & 0xFF));
    return out;
}

QString ScramblePassword(const QString& plain) {
    return FromCp1250(ScramblePassword(ToCp1250(plain)));
}

QString UnscramblePassword(const QString& scrambled) {
    return FromCp1250(UnscramblePassword(ToCp1250(scrambled)));
}

}  // namespace zomi

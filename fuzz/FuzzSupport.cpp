#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Fuzz.h"

namespace zomi::fuzz {

void Require(bool condition, const char* property, const QByteArray& data) {
    if (condition) return;
    std::string message = std::string("property broken: ") + property;
    if (!data.isEmpty()) message += " [" + data.toHex(' ').toStdString() + "]";
    throw PropertyViolation(message);
}

Input::Input(const uint8_t* data, size_t size)
    : data_(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)) {}

unsigned char Input::byte() {
    return pos_ < data_.size() ? static_cast<unsigned char>(data_.at(pos_++)) : 0;
}

double Input::float64() {
    unsigned char bytes[sizeof(double)];
    for (unsigned char& b : bytes) b = byte();
    double value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

QByteArray Input::piece() {
    const qsizetype nul = data_.indexOf('\0', pos_);
    const qsizetype end = nul < 0 ? data_.size() : nul;
    const QByteArray out = data_.mid(pos_, end - pos_);
    pos_ = nul < 0 ? data_.size() : nul + 1;
    return out;
}

QByteArray Input::rest() {
    const QByteArray out = data_.mid(pos_);
    pos_ = data_.size();
    return out;
}

const std::vector<Target>& Targets() {
    static const std::vector<Target> targets = {
        {"ini_file", IniFileCase, 1},           {"scramble", ScrambleCase, 1},
        {"codepage", CodepageCase, 1},          {"repair_utf8", RepairUtf8Case, 1},
        {"amount_format", AmountFormatCase, 1}, {"search_filter", SearchFilterCase, 1},
        {"sql_script", SqlScriptCase, 1},       {"sql_quote", SqlQuoteCase, kSqlQuoteValues},
    };
    return targets;
}

int RunFuzzerCase(Entry entry, const uint8_t* data, size_t size) {
    try {
        entry(data, size);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        std::abort();
    }
    return 0;
}

}  // namespace zomi::fuzz

#pragma once

// The fuzz cases: one entry per target, shared by the libFuzzer programs
// (built with clang when ZOMI_FUZZ is on) and the suite's replay of the kept
// corpus (built always). An entry checks properties of what the routines
// return, not only that they return: a broken property throws
// PropertyViolation, which the fuzzer turns into a crash with the input kept.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace zomi::fuzz {

class PropertyViolation : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

// Throws PropertyViolation naming the property and, in hex, the data at stake.
void Require(bool condition, const char* property, const QByteArray& data = QByteArray());

// A case's bytes taken piece by piece; past the end it gives zeros and
// empty pieces, so that every input is a valid case.
class Input {
  public:
    Input(const uint8_t* data, size_t size);
    unsigned char byte();
    double float64();
    // Up to the next NUL byte (dropped) or the end.
    QByteArray piece();
    QByteArray rest();

  private:
    QByteArray data_;
    qsizetype pos_ = 0;
};

using Entry = void (*)(const uint8_t* data, size_t size);

struct Target {
    const char* name;  // of the fuzzer program (fuzz_<name>) and of its corpus folder
    Entry entry;
    int valuesPerCase;  // cases a run counts for one input
};

const std::vector<Target>& Targets();

// The settings file: random bytes as the file, one write or delete, every
// written value read back and every other key left as it was.
void IniFileCase(const uint8_t* data, size_t size);
void ScrambleCase(const uint8_t* data, size_t size);
void CodepageCase(const uint8_t* data, size_t size);
void RepairUtf8Case(const uint8_t* data, size_t size);
void AmountFormatCase(const uint8_t* data, size_t size);
void SearchFilterCase(const uint8_t* data, size_t size);
void SqlScriptCase(const uint8_t* data, size_t size);
// Needs the test server (scripts/dbserver): kSqlQuoteValues code-page-1250
// texts quoted into one SELECT, the input's own bytes and more drawn from a
// generator it seeds, each read back byte for byte.
inline constexpr int kSqlQuoteValues = 400;
void SqlQuoteCase(const uint8_t* data, size_t size);

// For LLVMFuzzerTestOneInput: any exception escaping an entry ends the
// program with its message, so that libFuzzer keeps the input as a crash.
int RunFuzzerCase(Entry entry, const uint8_t* data, size_t size);

}  // namespace zomi::fuzz

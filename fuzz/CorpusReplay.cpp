// Every input the fuzzers kept runs once more through the same checks in the
// normal suite, so that a fault found once stays fixed.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "Fuzz.h"

namespace zomi::fuzz {

// Names the target in test output.
void PrintTo(const Target& target, std::ostream* out);
void PrintTo(const Target& target, std::ostream* out) { *out << target.name; }

namespace {

class Corpus : public ::testing::TestWithParam<Target> {};

TEST_P(Corpus, EveryKeptInputHoldsItsProperties) {
    const QDir dir(QStringLiteral(ZOMI_FUZZ_CORPUS "/") + QString::fromLatin1(GetParam().name));
    const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty()) << "no corpus in " << dir.path().toStdString();
    for (const QFileInfo& info : files) {
        QFile file(info.filePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << info.filePath().toStdString();
        const QByteArray bytes = file.readAll();
        try {
            GetParam().entry(reinterpret_cast<const uint8_t*>(bytes.constData()),
                             static_cast<size_t>(bytes.size()));
        } catch (const std::exception& e) {
            ADD_FAILURE() << info.fileName().toStdString() << ": " << e.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Corpus, ::testing::ValuesIn(Targets()),
                         [](const ::testing::TestParamInfo<Target>& target) {
                             return std::string(target.param.name);
                         });

}  // namespace
}  // namespace zomi::fuzz

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <array>
#include <cmath>
#include <cstring>

#include "Fuzz.h"
#include "common/Codepage.h"
#include "common/IniFile.h"
#include "common/Scramble.h"
#include "common/Settings.h"

namespace zomi::fuzz {

namespace {

// The names written, in spellings that differ only in letter case, inside and
// beyond ASCII, so that the fuzzer meets every way a name in the file can
// match; every key is read in its first spelling before and after.
const std::array<QString, 4> kSections = {QStringLiteral("S"), QStringLiteral("Ő"),
                                          QStringLiteral("s"), QStringLiteral("ő")};
const std::array<QString, 4> kKeys = {QStringLiteral("K"), QStringLiteral("Ű"), QStringLiteral("k"),
                                      QStringLiteral("ű")};
constexpr size_t kRead = 2;
// No value read from a file holds a line break, so this one means "missing".
const QByteArray kMissing = QByteArrayLiteral("\n");

// In memory where the system has it: every write of the settings file is
// synced to disk.
QString scratchPath() {
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/zomi-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/zomi-fuzz-XXXXXX"));
    Require(dir.isValid(), "a scratch folder for the settings file");
    return dir.filePath(QStringLiteral("Zomi.ini"));
}

void putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the scratch file opens");
    Require(file.write(bytes) == bytes.size(), "the scratch file is written");
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    Require(file.open(QIODevice::ReadOnly), "the settings file reads");
    return file.readAll();
}

using Snapshot = std::array<std::array<QByteArray, kRead>, kRead>;

// Every probe name pair as read now.
Snapshot readAll(const QString& path) {
    Snapshot values;
    for (size_t s = 0; s < kRead; ++s)
        for (size_t k = 0; k < kRead; ++k)
            values[s][k] = IniReadBytes(path, kSections[s], kKeys[k], kMissing);
    return values;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

void requireOthersKept(const Snapshot& before, const Snapshot& after, size_t section, size_t key,
                       const QByteArray& file) {
    for (size_t s = 0; s < kRead; ++s)
        for (size_t k = 0; k < kRead; ++k)
            if (!sameName(kSections[s], kSections[section]) || !sameName(kKeys[k], kKeys[key]))
                Require(before[s][k] == after[s][k],
                        "a write or delete leaves every other key as it was", file);
}

bool hasLineBreak(const QByteArray& bytes) { return bytes.contains('\r') || bytes.contains('\n'); }

template <typename T>
T fromBytes(const QByteArray& bytes) {
    T value{};
    std::memcpy(&value, bytes.leftJustified(sizeof value, '\0').constData(), sizeof value);
    return value;
}

}  // namespace

// Layout: section, key and operation bytes, the value up to a NUL, then the
// file's bytes.
void IniFileCase(const uint8_t* data, size_t size) {
    Input in(data, size);
    const size_t section = in.byte() % kSections.size();
    const size_t key = in.byte() % kKeys.size();
    const unsigned char operation = in.byte();
    const QByteArray value = in.piece();
    const QByteArray file = in.rest();
    const QString path = scratchPath();
    putFile(path, file);
    const QString& s = kSections[section];
    const QString& k = kKeys[key];

    const Snapshot before = readAll(path);
    const QByteArray& old = before[section % kRead][key % kRead];
    Require(IniKeyExists(path, s, k) == (old != kMissing), "a key exists exactly when it reads",
            file);
    if (old != kMissing)
        Require(IniReadString(path, s, k, QString()) == FromCp1250(old),
                "the string reading is the byte reading decoded", file);
    SetSettingsPath(path);
    switch (operation % 5) {
        case 0:
            try {
                IniWriteString(path, s, k, FromCp1250(value));
            } catch (const SettingsError&) {
                Require(hasLineBreak(value), "only a value with a line break is refused", value);
                Require(fileBytes(path) == file, "a refused write leaves the file alone", file);
                return;
            }
            Require(!hasLineBreak(value), "a value with a line break is refused", value);
            Require(IniReadString(path, s, k, QString()) == FromCp1250(value),
                    "a written value reads back", file);
            break;
        case 1: {
            const auto number = fromBytes<int>(value);
            WriteIntSetting(s, k, number);
            Require(ReadIntSetting(s, k, number == 0 ? 1 : 0) == number,
                    "a written integer reads back", value);
            break;
        }
        case 2: {
            const auto number = fromBytes<double>(value);
            if (!std::isfinite(number)) return;
            // The file may come from a workstation with the other decimal separator.
            QLocale::setDefault(QLocale((operation & 8) != 0 ? QLocale::Hungarian : QLocale::C));
            WriteFloatSetting(s, k, number);
            QLocale::setDefault((operation & 16) != 0 ? QLocale::Hungarian : QLocale::C);
            Require(ReadFloatSetting(s, k, std::nan("")) == number, "a written float reads back",
                    value);
            break;
        }
        case 3: {
            // The stored form of a byte 9 or 12 is a line break, which the file cannot hold.
            const QString plain = FromCp1250(value);
            try {
                WriteScrambledSetting(s, k, plain);
            } catch (const SettingsError&) {
                Require(value.contains('\t') || value.contains('\f'),
                        "only a password the file cannot hold scrambled is refused", value);
                return;
            }
            Require(ReadScrambledSetting(s, k) == plain, "a scrambled value reads back", value);
            break;
        }
        default:
            IniDeleteKey(path, s, k);
            break;
    }
    requireOthersKept(before, readAll(path), section, key, file);
}

void ScrambleCase(const uint8_t* data, size_t size) {
    const QByteArray plain(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray scrambled = ScramblePassword(plain);
    Require(scrambled.size() == 3 + 2 * plain.size(), "3 + 2n bytes for n", plain);
    for (qsizetype i = 0; i < scrambled.size(); ++i) {
        if (i >= 3 && i % 2 == 1) continue;
        const auto filler = static_cast<unsigned char>(scrambled.at(i));
        Require(filler >= 33 && filler <= 87, "fillers are drawn from 33 to 87", scrambled);
    }
    Require(UnscramblePassword(scrambled) == plain, "unscrambling gives the bytes back", plain);
    // Any stored text, whoever wrote it, unscrambles to its every second byte.
    const qsizetype expected = plain.size() <= 3 ? 0 : (plain.size() - 2) / 2;
    Require(UnscramblePassword(plain).size() == expected, "every second byte after three", plain);

    const QString text = FromCp1250(plain);
    Require(UnscramblePassword(ScramblePassword(text)) == text, "text scrambles back", plain);
    QString wide;
    for (size_t i = 0; i + 1 < size; i += 2)
        wide += QChar(static_cast<char16_t>(data[i] << 8 | data[i + 1]));
    try {
        Require(UnscramblePassword(ScramblePassword(wide)) == wide, "text scrambles back",
                wide.toUtf8());
    } catch (const EncodingError&) {
        Require(!FitsCp1250(wide), "only text beyond the code page is refused", wide.toUtf8());
    }
}

}  // namespace zomi::fuzz

#include "Journal.h"

#include <QFile>
#include <stdexcept>

namespace zomi::load {

namespace {

const char* const kOutcomes[] = {"ack", "conflict", "deleted", "unknown"};

QString outcomeText(Outcome outcome) {
    return QString::fromLatin1(kOutcomes[static_cast<int>(outcome)]);
}

Outcome outcomeOf(const QString& text) {
    for (int i = 0; i < 4; ++i)
        if (text == QLatin1String(kOutcomes[i])) return static_cast<Outcome>(i);
    return Outcome::Unknown;
}

// Cells hold no tab or line break of their own.
QString cell(QString text) {
    return text.replace(QLatin1Char('\t'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QStringLiteral(" / "))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
}

}  // namespace

QString NumberToken(double value) { return QString::number(value, 'g', 17); }

QString NumberTokenOfText(const QString& text, bool isNull) {
    if (isNull) return QStringLiteral("NULL");
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? NumberToken(value) : text;
}

JournalWriter::JournalWriter(const QString& path)
    : file_(std::fopen(QFile::encodeName(path).constData(), "w")) {
    if (!file_) throw std::runtime_error("cannot write the journal " + path.toStdString());
}

JournalWriter::~JournalWriter() { std::fclose(file_); }

void JournalWriter::line(const QStringList& cells) {
    QStringList clean;
    for (const QString& c : cells) clean << cell(c);
    const QByteArray bytes = clean.join(QLatin1Char('\t')).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), file_);
    std::fflush(file_);
}

void JournalWriter::action(const ActionRecord& r) {
    line({QStringLiteral("A"), r.action, QString::number(r.ms, 'f', 3), r.error,
          QString::number(r.endedAt)});
}

void JournalWriter::save(const SaveRecord& r) {
    line({QStringLiteral("S"), r.table, QString::number(r.key), r.before, r.after,
          outcomeText(r.outcome), r.deadline, r.total});
}

void JournalWriter::insert(const InsertRecord& r) {
    line({QStringLiteral("I"), QString::number(r.key), r.job, r.fee, outcomeText(r.outcome),
          r.deadline, r.total, QString::number(r.year), QString::number(r.serial)});
}

void JournalWriter::remove(const DeleteRecord& r) {
    line({QStringLiteral("D"), QString::number(r.key), outcomeText(r.outcome)});
}

void JournalWriter::message(const MessageRecord& r) { line({QStringLiteral("M"), r.kind, r.text}); }

void ReadJournal(const QString& path, Journal& into) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QStringList c = QString::fromUtf8(raw).split(QLatin1Char('\t'));
        const QString type = c.value(0);
        if (type == QLatin1String("A") && c.size() >= 4) {
            into.actions.push_back({c[1], c[2].toDouble(), c[3], c.value(4).toLongLong()});
        } else if (type == QLatin1String("S") && c.size() >= 8) {
            into.saves.push_back({c[1], c[2].toInt(), c[3], c[4], outcomeOf(c[5]), c[6], c[7]});
        } else if (type == QLatin1String("I") && c.size() >= 9) {
            into.inserts.push_back({c[1].toInt(), c[2], c[3], outcomeOf(c[4]), c[5], c[6],
                                    c[7].toInt(), c[8].toInt()});
        } else if (type == QLatin1String("D") && c.size() >= 3) {
            into.deletes.push_back({c[1].toInt(), outcomeOf(c[2])});
        } else if (type == QLatin1String("M") && c.size() >= 3) {
            into.messages.push_back({c[1], c[2]});
        }
    }
}

}  // namespace zomi::load

#include "db/DataScript.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QIODevice>
#include <QSaveFile>
#include <algorithm>
#include <numeric>
#include <vector>

#include "common/Codepage.h"
#include "common/FileProblems.h"
#include "db/WorkFileSchema.h"

namespace zomi {

using dbaccess::Connection;
using dbaccess::DbError;
using dbaccess::Field;
using dbaccess::FieldKind;
using dbaccess::RowRef;

namespace {

constexpr int kRowsPerStatement = 100;
constexpr qsizetype kFlushSize = 1 << 20;
// How often a long table lets the window repaint.
constexpr qint64 kRepaintMilliseconds = 100;

bool isPlainName(const QString& name) {
    bool allDigits = true;
    for (const QChar c : name) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        allDigits = allDigits && digit;
        if (!digit && !(c >= QLatin1Char('a') && c <= QLatin1Char('z')) &&
            !(c >= QLatin1Char('A') && c <= QLatin1Char('Z')) && c != QLatin1Char('_') &&
            c != QLatin1Char('$'))
            return false;
    }
    return !name.isEmpty() && !allDigits;
}

// Names are written bare, as the script has always had them; only a name
// the server would not read bare is put in backquotes.
QByteArray scriptName(const QString& name) {
    if (isPlainName(name)) return dbaccess::EncodeSql(name);
    QString quoted = name;
    quoted.replace(QLatin1Char('`'), QStringLiteral("``"));
    return dbaccess::EncodeSql(QLatin1Char('`') + quoted + QLatin1Char('`'));
}

// The escapes of SqlQuote, plus NUL and Ctrl+Z, which the stock client
// refuses or misreads inside a file.
void appendQuoted(QByteArray& out, const char* cell, unsigned long length) {
    out += '\'';
    const char* run = cell;
    const char* end = cell + length;
    for (const char* p = cell; p != end; ++p) {
        const char* escape = nullptr;
        switch (*p) {
            case '\\':
                escape = "\\\\";
                break;
            case '\r':
                escape = "\\r";
                break;
            case '\n':
                escape = "\\n";
                break;
            case '\'':
                escape = "''";
                break;
            case '\0':
                escape = "\\0";
                break;
            case '\x1A':
                escape = "\\Z";
                break;
            default:
                continue;
        }
        out.append(run, p - run);
        out.append(escape, 2);
        run = p + 1;
    }
    out.append(run, end - run);
    out += '\'';
}

void appendValue(QByteArray& out, FieldKind kind, const char* cell, unsigned long length) {
    if (!cell) {
        out += "NULL";
        return;
    }
    switch (kind) {
        case FieldKind::Text:
        case FieldKind::Memo:
        case FieldKind::Time:
            appendQuoted(out, cell, length);
            return;
        case FieldKind::Date:
        case FieldKind::DateTime:
            out += '\'';
            out.append(cell, static_cast<qsizetype>(length));
            out += '\'';
            return;
        case FieldKind::Binary:
            // Raw bytes would break the statement; hexadecimal restores them exactly.
            if (length == 0) {
                out += "''";
            } else {
                out += "X'";
                out += QByteArray::fromRawData(cell, static_cast<qsizetype>(length)).toHex();
                out += '\'';
            }
            return;
        default:
            // Numbers as the server wrote them, with a decimal point.
            out.append(cell, static_cast<qsizetype>(length));
            return;
    }
}

// Writes the statements of tables into a byte buffer that it hands on in
// large pieces.
class ScriptWriter {
  public:
    ScriptWriter(Connection& connection, std::function<void(QByteArray&)> flush,
                 std::function<void(qint64)> rowsWritten = {})
        : connection_(connection), flush_(std::move(flush)), rowsWritten_(std::move(rowsWritten)) {
        out_.reserve(kFlushSize + (kFlushSize >> 2));
        repaint_.start();
    }

    void writeTable(const QString& table) {
        out_ += "TRUNCATE " + scriptName(table) + ";\r\n";
        rows_ = 0;
        connection_.streamQuery(
            QStringLiteral("SELECT * FROM `") +
                QString(table).replace(QLatin1Char('`'), QStringLiteral("``")) + QLatin1Char('`'),
            [&](const std::vector<Field>& fields) { begin(table, fields); },
            [&](const dbaccess::StreamedRow& row) { writeRow(row); });
        if (rows_ > 0) out_ += ";\r\n";
        out_ += "\r\n";
        flush_(out_);
    }

    void finish() { flush_(out_); }

  private:
    void begin(const QString& table, const std::vector<Field>& fields) {
        QByteArray columns;
        kinds_.clear();
        for (const Field& field : fields) {
            if (!columns.isEmpty()) columns += ',';
            columns += scriptName(field.name.toLower());
            kinds_.push_back(field.kind);
        }
        head_ = "INSERT IGNORE INTO " + scriptName(table) + " (" + columns + ") VALUES\r\n";
    }

    void writeRow(const dbaccess::StreamedRow& row) {
        ++rows_;
        if (rows_ == 1) {
            out_ += head_;
        } else if (rows_ % kRowsPerStatement == 0) {
            // The first statement closes after row 99, every later one after 100 rows.
            out_ += ";\r\n";
            out_ += head_;
        } else {
            out_ += ",\r\n";
        }
        out_ += '(';
        for (size_t i = 0; i < kinds_.size(); ++i) {
            if (i > 0) out_ += ',';
            appendValue(out_, kinds_[i], row.cells[i], row.lengths[i]);
        }
        out_ += ')';
        if (out_.size() >= kFlushSize) flush_(out_);
        if ((rows_ & 1023) == 0 && repaint_.elapsed() >= kRepaintMilliseconds) {
            if (rowsWritten_) rowsWritten_(rows_);
            QCoreApplication::processEvents();
            repaint_.restart();
        }
    }

    Connection& connection_;
    std::function<void(QByteArray&)> flush_;
    std::function<void(qint64)> rowsWritten_;
    QByteArray out_;
    QByteArray head_;
    std::vector<FieldKind> kinds_;
    qint64 rows_ = 0;
    QElapsedTimer repaint_;
};

// A lost session is replaced silently by the connection; a replacement in
// the middle of a backup would read the rest outside the snapshot.
void requireOneSession(const dbaccess::ReconnectWatch& watch) {
    if (watch.happened())
        throw DbError(DbError::kState, QStringLiteral("A kapcsolat megszakadt és újra felépült, "
                                                      "ezért a mentés nem lenne egységes."));
}

[[noreturn]] void failInTable(const QString& table, const QString& message, bool fileError,
                              unsigned code) {
    const QString text =
        QStringLiteral("Hiba a(z) %1 tábla mentése közben: %2").arg(table, message);
    if (fileError) throw FileError(text);
    throw DbError(code, text);
}

// Where the script has got to: the table being written (from 0, of how
// many) and the rows of it written so far.
struct ScriptProgress {
    std::function<void(const QStringList& tables)> begin;
    std::function<void(int table, qint64 rows)> at;
    std::function<void()> end;
};

void writeTables(Connection& connection, const ScriptProgress& progress, ScriptWriter& writer,
                 const dbaccess::ReconnectWatch& watch, int& table) {
    // Attachments and history travel only in the full backup.
    const QStringList tables = DataTables(connection);
    requireOneSession(watch);
    if (progress.begin) progress.begin(tables);
    for (int i = 0; i < tables.size(); ++i) {
        table = i;
        if (progress.at) progress.at(i, 0);
        QCoreApplication::processEvents();
        try {
            writer.writeTable(tables[i]);
            requireOneSession(watch);
        } catch (const FileError& e) {
            failInTable(tables[i], e.message(), true, 0);
        } catch (const DbError& e) {
            failInTable(tables[i], e.message(), false, e.code());
        }
    }
    writer.finish();
    if (progress.end) progress.end();
}

void writeScript(Connection& connection, const ScriptProgress& progress, QIODevice& out,
                 const QString& fileName) {
    dbaccess::ReconnectWatch watch(connection);
    int table = 0;
    ScriptWriter writer(
        connection,
        [&](QByteArray& bytes) {
            if (out.write(bytes) != bytes.size())
                throw FileError(
                    QStringLiteral("A(z) %1 fájl nem írható: %2")
                        .arg(fileName, WriteFailureReason(fileName, out.errorString())));
            bytes.resize(0);  // keeps the buffer for the next piece
        },
        [&](qint64 rows) {
            if (progress.at) progress.at(table, rows);
        });
    // Every table from the same moment, while other workstations go on writing.
    connection.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"));
    connection.exec(QStringLiteral("START TRANSACTION WITH CONSISTENT SNAPSHOT, READ ONLY"));
    try {
        requireOneSession(watch);
        writeTables(connection, progress, writer, watch, table);
    } catch (...) {
        try {
            if (connection.isOpen()) connection.exec(QStringLiteral("ROLLBACK"));
        } catch (const DbError&) {
            // The session is gone, and its transaction with it.
        }
        throw;
    }
    connection.exec(QStringLiteral("COMMIT"));
}

// The server's estimate of each table's rows, for a progress that follows
// the rows rather than the tables; at least 1 each.
QList<double> estimatedRows(Connection& connection, const QStringList& tables) {
    QHash<QString, double> estimates;
    const dbaccess::ResultSetPtr result = connection.query(
        QStringLiteral("SELECT TABLE_NAME, TABLE_ROWS FROM information_schema.TABLES "
                       "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_TYPE = 'BASE TABLE'"));
    for (int i = 0; result && i < result->rowCount(); ++i) {
        const RowRef row = result->row(i);
        if (row.cell(0) && row.cell(1))
            estimates.insert(FromCp1250(QByteArray(row.cell(0))),
                             QByteArray(row.cell(1)).toDouble());
    }
    QList<double> rows;
    for (const QString& table : tables) rows << std::max(1.0, estimates.value(table));
    return rows;
}

}  // namespace

void WriteDataScript(Connection& connection, const Progress& progress, QIODevice& out,
                     const QString& fileName) {
    ScriptProgress steps;
    steps.begin = [&](const QStringList& tables) {
        if (progress.setMaximum) progress.setMaximum(static_cast<int>(tables.size()));
    };
    steps.at = [&](int table, qint64 rows) {
        if (rows == 0 && progress.setPosition) progress.setPosition(table);
    };
    steps.end = [&] {
        if (progress.setPosition) progress.setPosition(0);
    };
    writeScript(connection, steps, out, fileName);
}

void WriteDataScriptShare(Connection& connection, const std::function<void(double)>& done,
                          QIODevice& out, const QString& fileName) {
    QList<double> weights;
    double total = 1;
    double before = 0;  // the weight of the tables already written
    int current = -1;
    ScriptProgress steps;
    steps.begin = [&](const QStringList& tables) {
        weights = estimatedRows(connection, tables);
        total = std::max(1.0, std::accumulate(weights.begin(), weights.end(), 0.0));
    };
    steps.at = [&](int table, qint64 rows) {
        if (table != current) {
            if (current >= 0) before += weights.value(current);
            current = table;
        }
        const double inTable = std::min(static_cast<double>(rows), weights.value(table));
        if (done) done(std::min(1.0, (before + inTable) / total));
    };
    steps.end = [&] {
        if (done) done(1.0);
    };
    writeScript(connection, steps, out, fileName);
}

void WriteDataScript(Connection& connection, const Progress& progress, const QString& fileName) {
    // A temporary file renamed into place: a failed backup never destroys
    // the previous good one.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("A(z) %1 fájl nem hozható létre: %2")
                            .arg(fileName, WriteFailureReason(fileName, file.errorString())));
    WriteDataScript(connection, progress, file, fileName);
    if (!file.commit())
        throw FileError(QStringLiteral("Hiba a(z) %1 fájl lezárásakor: %2")
                            .arg(fileName, WriteFailureReason(fileName, file.errorString())));
}

QString TableInsertScript(Connection& connection, const QString& tableName) {
    QByteArray script;
    ScriptWriter writer(connection, [&](QByteArray& bytes) {
        script += bytes;
        bytes.clear();
    });
    writer.writeTable(tableName);
    // Without the TRUNCATE line and the empty line that close the table.
    const qsizetype start = script.indexOf("\r\n") + 2;
    return FromCp1250(script.mid(start, script.size() - start - 2));
}

}  // namespace zomi

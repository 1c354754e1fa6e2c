#include "db/DataScript.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIODevice>
#include <QSaveFile>
#include <vector>

#include "common/Codepage.h"

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
    ScriptWriter(Connection& connection, std::function<void(QByteArray&)> flush)
        : connection_(connection), flush_(std::move(flush)) {
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
            [&](const RowRef& row) { writeRow(row); });
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

    void writeRow(const RowRef& row) {
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
            QCoreApplication::processEvents();
            repaint_.restart();
        }
    }

    Connection& connection_;
    std::function<void(QByteArray&)> flush_;
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

void writeTables(Connection& connection, const Progress& progress, ScriptWriter& writer,
                 const dbaccess::ReconnectWatch& watch) {
    const QStringList tables = connection.baseTables();
    requireOneSession(watch);
    if (progress.setMaximum) progress.setMaximum(static_cast<int>(tables.size()));
    for (int i = 0; i < tables.size(); ++i) {
        if (progress.setPosition) progress.setPosition(i);
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
    if (progress.setPosition) progress.setPosition(0);
}

}  // namespace

void WriteDataScript(Connection& connection, const Progress& progress, QIODevice& out,
                     const QString& fileName) {
    dbaccess::ReconnectWatch watch(connection);
    ScriptWriter writer(connection, [&](QByteArray& bytes) {
        if (out.write(bytes) != bytes.size())
            throw FileError(
                QStringLiteral("A(z) %1 fájl nem írható: %2").arg(fileName, out.errorString()));
        bytes.resize(0);  // keeps the buffer for the next piece
    });
    // Every table from the same moment, while other workstations go on writing.
    connection.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"));
    connection.exec(QStringLiteral("START TRANSACTION WITH CONSISTENT SNAPSHOT, READ ONLY"));
    try {
        requireOneSession(watch);
        writeTables(connection, progress, writer, watch);
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

void WriteDataScript(Connection& connection, const Progress& progress, const QString& fileName) {
    // A temporary file renamed into place: a failed backup never destroys
    // the previous good one.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(
            QStringLiteral("A(z) %1 fájl nem hozható létre: %2").arg(fileName, file.errorString()));
    WriteDataScript(connection, progress, file, fileName);
    if (!file.commit())
        throw FileError(
            QStringLiteral("Hiba a(z) %1 fájl lezárásakor: %2").arg(fileName, file.errorString()));
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

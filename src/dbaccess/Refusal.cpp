#include "dbaccess/Refusal.h"

#include <errmsg.h>
#include <mysqld_error.h>

#include <QRegularExpression>

#include "dbaccess/Dataset.h"
#include "dbaccess/DbError.h"

namespace zomi::dbaccess {

namespace {

// The first capture of the pattern in the server's text, empty when absent.
QString captured(const QString& text, const char* pattern) {
    const QRegularExpressionMatch m = QRegularExpression(QString::fromLatin1(pattern)).match(text);
    return m.hasMatch() ? m.captured(1) : QString();
}

const Field* fieldNamed(const Dataset* dataset, const QString& name) {
    if (!dataset || name.isEmpty()) return nullptr;
    for (int i = 0; i < dataset->fieldCount(); ++i) {
        const Field& f = dataset->field(i);
        if (name == QLatin1String("PRIMARY") ? f.primaryKey
                                             : f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

QString labelOf(const Dataset* dataset, const QString& column) {
    const Field* f = fieldNamed(dataset, column);
    return f && !f->label.isEmpty() ? f->label : column;
}

// The column a value refusal names: 'name', or `db`.`table`.`name` on newer servers.
QString columnIn(const QString& text) {
    const QString quoted = captured(text, "column '([^']*)'");
    return quoted.isEmpty() ? captured(text, "column `[^`]*`\\.`[^`]*`\\.`([^`]*)`") : quoted;
}

bool connectionLost(unsigned code) {
    return code == CR_SERVER_GONE_ERROR || code == CR_SERVER_LOST || code == ER_SERVER_SHUTDOWN ||
           code == 1927 /* ER_CONNECTION_KILLED */ ||
           code == 4031 /* ER_CLIENT_INTERACTION_TIMEOUT */;
}

QString sentence(const DbError& error, const Dataset* dataset) {
    const QString& text = error.message();
    const unsigned code = error.code();
    if (code == ER_DUP_ENTRY || code == ER_DUP_ENTRY_WITH_KEY_NAME) {
        const QString value = captured(text, "entry '(.*)' for key");
        QString key = captured(text, "for key '([^']*)'");
        // Newer servers name the key with its table: 'felhasznalo.PRIMARY'.
        key = key.section(QLatin1Char('.'), -1);
        return QStringLiteral(
                   "A(z) „%1” mezőben megadott „%2” érték már szerepel az "
                   "adatbázisban; adjon meg másikat.")
            .arg(labelOf(dataset, key), value);
    }
    if (code == ER_ROW_IS_REFERENCED_2 || code == ER_ROW_IS_REFERENCED)
        return QStringLiteral(
            "A sor nem törölhető és nem módosítható, mert más adatok hivatkoznak rá.");
    if (code == ER_NO_REFERENCED_ROW_2 || code == ER_NO_REFERENCED_ROW) {
        const QString column = captured(text, "FOREIGN KEY \\(`([^`]*)`");
        return QStringLiteral("A(z) „%1” mezőben megadott érték nem létező sorra hivatkozik.")
            .arg(labelOf(dataset, column));
    }
    if (code == ER_DATA_TOO_LONG) {
        const QString column = columnIn(text);
        const Field* f = fieldNamed(dataset, column);
        QString out =
            QStringLiteral("A(z) „%1” mezőbe írt szöveg túl hosszú").arg(labelOf(dataset, column));
        if (f && f->isTextual() && f->size > 0)
            out += QStringLiteral("; legfeljebb %1 karakter fér bele").arg(f->size);
        return out + QLatin1Char('.');
    }
    if (code == ER_BAD_NULL_ERROR)
        return QStringLiteral("A(z) „%1” mezőt ki kell tölteni.")
            .arg(labelOf(dataset, captured(text, "Column '([^']*)'")));
    if (code == ER_WARN_DATA_OUT_OF_RANGE)
        return QStringLiteral("A(z) „%1” mezőbe írt szám túl nagy vagy túl kicsi.")
            .arg(labelOf(dataset, columnIn(text)));
    if (code == WARN_DATA_TRUNCATED || code == ER_TRUNCATED_WRONG_VALUE_FOR_FIELD ||
        code == ER_TRUNCATED_WRONG_VALUE)
        return QStringLiteral(
                   "A(z) „%1” mezőbe írt érték nem tárolható változatlanul: a kiszolgáló "
                   "levágta vagy átalakította volna, ezért semmi sem tárolódott.")
            .arg(labelOf(dataset, columnIn(text)));
    if (connectionLost(code))
        return QStringLiteral(
            "Megszakadt a kapcsolat az adatbázis-kiszolgálóval; a művelet nem fejeződött be.");
    if (code == ER_LOCK_DEADLOCK)
        return QStringLiteral(
            "A kiszolgáló a műveletet egy másik munkaállomás egyidejű módosításával ütközve "
            "visszautasította; semmi sem tárolódott belőle. Kérem, próbálja újra.");
    if (code == ER_UNKNOWN_COM_ERROR)
        return QStringLiteral(
            "Az adatbázis-kiszolgáló (a fürt egyik tagja) most nem fogad kéréseket, mert nincs "
            "összhangban a többivel; a művelet nem futott le. Kérem, próbálja újra egy kis idő "
            "múlva.");
    return QString();
}

}  // namespace

QString RefusalText(const std::exception& error, const Dataset* dataset) {
    const auto* db = dynamic_cast<const DbError*>(&error);
    if (!db) return QString::fromUtf8(error.what());
    const QString lead = sentence(*db, dataset);
    return lead.isEmpty() ? db->message() : lead + QLatin1Char('\n') + db->message();
}

}  // namespace zomi::dbaccess

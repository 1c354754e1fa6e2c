#include "db/DataScriptReader.h"

#include <QHash>

#include "common/Codepage.h"

namespace zomi {

namespace {

constexpr int kQuotedStatementLength = 70;

bool isNameByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$';
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// What a full backup (the dump tool's file) has and a data backup never has.
bool looksLikeFullBackup(const QByteArray& script) {
    const QByteArray head = script.left(4096).toUpper();
    return head.startsWith("-- MYSQL DUMP") || head.startsWith("-- MARIADB DUMP") ||
           head.contains("\n-- SERVER VERSION") || script.contains("CREATE TABLE") ||
           script.contains("CREATE DATABASE") || script.contains("\nUSE `");
}

class Reader {
  public:
    explicit Reader(const QByteArray& script) : text_(script) {}

    DataScriptContents read() {
        skipBlanks();
        while (pos_ < text_.size()) {
            statement(blankLines_);
            blankLines_ = 0;
            skipBlanks();
        }
        if (!contents_.statements.isEmpty() && blankLines_ < 2) cutInTable();
        return std::move(contents_);
    }

  private:
    [[noreturn]] void notDataBackup(int line) const {
        if (looksLikeFullBackup(text_))
            throw DataScriptError(QStringLiteral(
                "A fájl nem adatmentés, hanem teljes mentésnek látszik (a kiszolgáló "
                "mentőprogramja "
                "írta: adatbázist választ, táblákat, nézeteket, rutinokat töröl és hoz létre). "
                "Teljes mentést a kiszolgáló saját ügyfélprogramjával lehet visszaállítani "
                "(mariadb -h kiszolgáló -u felhasználó -p < fájl); az a mentésben megnevezett "
                "adatbázisba tölti vissza."));
        throw DataScriptError(
            QStringLiteral("A fájl nem adatmentés: a(z) %1. sorban ez áll: \"%2\". Adatmentésben "
                           "csak a kiválasztott adatbázis tábláit ürítő TRUNCATE és sorait "
                           "visszatöltő INSERT IGNORE utasítások állnak.")
                .arg(line)
                .arg(quotedStatement(statementStart_)));
    }

    [[noreturn]] void damaged(const QString& what) const {
        if (pos_ >= text_.size())
            throw DataScriptError(
                QStringLiteral("A fájl csonka: a(z) %1. sorban kezdődő utasítás nincs befejezve, "
                               "a fájl vége egy utasítás közepére esik.")
                    .arg(statementLine_));
        throw DataScriptError(
            QStringLiteral("A fájl sérült: a(z) %1. sorban %2.").arg(line_).arg(what));
    }

    [[noreturn]] void cutInTable() const {
        throw DataScriptError(
            QStringLiteral("A fájl csonka: a(z) %1 tábla utasításai után hiányzik a záró üres sor, "
                           "vagyis a fájl a tábla adatainak közepén ér véget.")
                .arg(contents_.tables.value(currentTable_)));
    }

    QString quotedStatement(qsizetype from) const {
        qsizetype end = from;
        while (end < text_.size() && end - from < kQuotedStatementLength && text_[end] != '\n')
            ++end;
        QString shown = FromCp1250(text_.mid(from, end - from)).trimmed();
        for (QChar& c : shown)
            if (c.unicode() < 32) c = QLatin1Char(' ');
        return end < text_.size() && text_[end] != '\n' ? shown + QStringLiteral("…") : shown;
    }

    // The file ends in the first words of a statement of the backup's own.
    bool cutInKeyword(const char* words = "INSERT IGNORE INTO") {
        const QByteArray rest = text_.mid(pos_).trimmed().toUpper();
        if (rest.size() > 24) return false;
        if (!rest.isEmpty() && !QByteArray("TRUNCATE").startsWith(rest) &&
            !QByteArray(words).startsWith(rest))
            return false;
        pos_ = text_.size();
        return true;
    }

    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

    void skipBlanks() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) {
            if (text_[pos_] == '\n') {
                ++line_;
                ++blankLines_;
            }
            ++pos_;
        }
    }

    void skipInnerBlanks() { skipBlanks(); }

    bool keyword(const char* word) {
        qsizetype p = pos_;
        for (const char* w = word; *w; ++w, ++p)
            if (p >= text_.size() || (text_[p] | 0x20) != (*w | 0x20)) return false;
        if (p < text_.size() && isNameByte(text_[p])) return false;
        pos_ = p;
        skipInnerBlanks();
        return true;
    }

    void expect(char c, const char* what) {
        if (peek() != c) damaged(QString::fromUtf8(what));
        ++pos_;
        skipInnerBlanks();
    }

    QString name() {
        QByteArray bytes;
        if (peek() == '`') {
            ++pos_;
            for (;;) {
                if (pos_ >= text_.size()) damaged(QStringLiteral("egy név nincs lezárva"));
                const char c = text_[pos_++];
                if (c == '`') {
                    if (peek() != '`') break;
                    ++pos_;
                }
                if (c == '\n') ++line_;
                bytes += c;
            }
        } else {
            const qsizetype from = pos_;
            while (pos_ < text_.size() && isNameByte(text_[pos_])) ++pos_;
            bytes = text_.mid(from, pos_ - from);
        }
        if (bytes.isEmpty()) damaged(QStringLiteral("tábla- vagy oszlopnév helyén más áll"));
        skipInnerBlanks();
        if (peek() == '.')
            throw DataScriptError(
                QStringLiteral("A fájl nem adatmentés: a(z) %1. sorban egy utasítás másik "
                               "adatbázis táblájára hivatkozik (\"%2\"). Adatmentés csak a "
                               "kiválasztott adatbázis tábláit tölti vissza.")
                    .arg(line_)
                    .arg(quotedStatement(statementStart_)));
        return FromCp1250(bytes);
    }

    // lineBreaks: those since the statement before, two of them making the
    // empty line that closes a table.
    void statement(int lineBreaks) {
        statementStart_ = pos_;
        statementLine_ = line_;
        DataStatement s;
        s.begin = pos_;
        s.line = line_;
        if (keyword("TRUNCATE")) {
            keyword("TABLE");
            s.kind = DataStatement::Kind::Truncate;
            const QString table = name();
            if (tableIndex_.contains(table))
                damaged(QStringLiteral("a(z) %1 tábla másodszor is szerepel").arg(table));
            if (!contents_.statements.isEmpty() && lineBreaks < 2) cutInTable();
            currentTable_ = static_cast<int>(contents_.tables.size());
            tableIndex_.insert(table, currentTable_);
            contents_.tables << table;
        } else if (keyword("INSERT")) {
            if (!keyword("IGNORE") || !keyword("INTO")) {
                if (cutInKeyword("IGNORE INTO")) damaged(QString());
                notDataBackup(s.line);
            }
            s.kind = DataStatement::Kind::Insert;
            const QString table = name();
            if (contents_.tables.isEmpty() || table != contents_.tables.at(currentTable_))
                damaged(QStringLiteral("a(z) %1 tábla sorai nem a tábla ürítése után állnak")
                            .arg(table));
            insertBody();
        } else {
            if (cutInKeyword()) damaged(QString());
            notDataBackup(s.line);
        }
        s.table = currentTable_;
        s.end = pos_;
        if (peek() != ';') {
            if (isNameByte(peek())) notDataBackup(s.line);
            damaged(QStringLiteral("az utasítás nem ér véget \";\" jellel"));
        }
        ++pos_;
        contents_.statements << s;
    }

    void insertBody() {
        expect('(', "az oszlopok felsorolása hiányzik");
        int columns = 0;
        for (;;) {
            name();
            ++columns;
            if (peek() == ')') break;
            expect(',', "az oszlopok felsorolása hibás");
        }
        expect(')', "az oszlopok felsorolása hibás");
        if (!keyword("VALUES")) damaged(QStringLiteral("a VALUES szó hiányzik"));
        for (;;) {
            row(columns);
            ++contents_.rows;
            if (peek() != ',') break;
            expect(',', "");
        }
    }

    void row(int columns) {
        expect('(', "egy sor értékei helyén más áll");
        for (int i = 0; i < columns; ++i) {
            if (i > 0) expect(',', "egy sorban kevesebb érték áll, mint ahány oszlop");
            value();
        }
        if (peek() != ')') damaged(QStringLiteral("egy sorban több érték áll, mint ahány oszlop"));
        ++pos_;
        skipInnerBlanks();
    }

    void value() {
        const char c = peek();
        if (c == '\'') {
            quoted();
        } else if ((c == 'X' || c == 'x') && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
            ++pos_;
            hexadecimal();
        } else if (keyword("NULL")) {
            return;
        } else {
            number();
        }
        skipInnerBlanks();
    }

    void quoted() {
        ++pos_;
        const char* data = text_.constData();
        const qsizetype size = text_.size();
        while (pos_ < size) {
            const char c = data[pos_++];
            if (c == '\\') {
                if (pos_ < size && data[pos_] == '\n') ++line_;
                ++pos_;
            } else if (c == '\'') {
                if (pos_ < size && data[pos_] == '\'') {
                    ++pos_;
                } else {
                    return;
                }
            } else if (c == '\n') {
                ++line_;
            }
        }
        pos_ = size;
        damaged(QString());
    }

    void hexadecimal() {
        ++pos_;
        while (pos_ < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[pos_])))
            ++pos_;
        if (peek() != '\'') damaged(QStringLiteral("egy hexadecimális érték hibás"));
        ++pos_;
    }

    // As the server writes numbers: an optional sign, digits with a decimal
    // point, an exponent.
    void number() {
        const qsizetype from = pos_;
        if (peek() == '-' || peek() == '+') ++pos_;
        bool digits = false;
        while (pos_ < text_.size() &&
               (std::isdigit(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '.')) {
            digits = digits || text_[pos_] != '.';
            ++pos_;
        }
        if (digits && (peek() == 'e' || peek() == 'E')) {
            ++pos_;
            if (peek() == '-' || peek() == '+') ++pos_;
            const qsizetype exponent = pos_;
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])))
                ++pos_;
            digits = pos_ > exponent;
        }
        if (!digits || (pos_ < text_.size() && isNameByte(text_[pos_]))) {
            pos_ = from;
            if (pos_ >= text_.size()) damaged(QString());
            notDataBackup(line_);
        }
    }

    const QByteArray& text_;
    qsizetype pos_ = 0;
    int line_ = 1;
    int blankLines_ = 0;  // line breaks among the blanks skipped last
    qsizetype statementStart_ = 0;
    int statementLine_ = 1;
    int currentTable_ = 0;
    QHash<QString, int> tableIndex_;
    DataScriptContents contents_;
};

}  // namespace

DataScriptContents ReadDataScript(const QByteArray& script) { return Reader(script).read(); }

}  // namespace zomi

#include <errmsg.h>
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QDate>
#include <QSignalSpy>

#include "common/Codepage.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "dbaccess/EditableDatasetModel.h"
#include "dbaccess/Refusal.h"
#include "support/TestDatabase.h"

namespace zomi::dbaccess {
namespace {

using test::TestDatabase;

const QString kPangram = QStringLiteral("árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP");

class DatasetTest : public ::testing::Test {
  protected:
    DatasetTest() : db(TestDatabase::Content::Empty), c(db.connect()) {
        c->exec(QStringLiteral(
            "CREATE TABLE t (id INT AUTO_INCREMENT PRIMARY KEY, nev VARCHAR(20), megj TEXT, "
            "osszeg DOUBLE, darab BIGINT, nap DATE, ido TIME, mikor DATETIME, "
            "rogzitve TIMESTAMP DEFAULT CURRENT_TIMESTAMP, kep BLOB) "
            "CHARACTER SET latin2 COLLATE latin2_hungarian_ci"));
    }

    std::unique_ptr<Table> table(Connection* on = nullptr) {
        auto t = std::make_unique<Table>(on ? on : c.get());
        t->setTableName(QStringLiteral("t"));
        t->setOrderBy(QStringLiteral("id"));
        t->open();
        return t;
    }

    int addRow(const QString& nev, double osszeg = 0) {
        QString quoted = nev;
        quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
        c->exec(QStringLiteral("INSERT INTO t (nev, osszeg) VALUES ('%1', %2)")
                    .arg(quoted, QString::number(osszeg, 'g', 17)));
        return static_cast<int>(c->lastInsertId());
    }

    TestDatabase db;
    std::unique_ptr<Connection> c;
};

TEST_F(DatasetTest, CommonRefusalsLeadWithAHungarianSentenceNamingTheLabel) {
    c->exec(
        QStringLiteral("CREATE TABLE u (kod VARCHAR(10) PRIMARY KEY, nev VARCHAR(5) NOT NULL) "
                       "CHARACTER SET latin2"));
    c->exec(QStringLiteral("INSERT INTO u VALUES ('admin', 'x')"));
    Table u(c.get());
    u.setTableName(QStringLiteral("u"));
    u.setOrderBy(QStringLiteral("kod"));
    u.open();
    u.fieldByName(QStringLiteral("kod")).label = QStringLiteral("Belépő kód");
    u.fieldByName(QStringLiteral("nev")).label = QStringLiteral("Név");
    const auto refusal = [&](const QString& kod, const QVariant& nev) {
        u.append();
        u.setValue(QStringLiteral("kod"), kod);
        u.setValue(QStringLiteral("nev"), nev);
        try {
            u.post();
        } catch (const std::exception& e) {
            u.cancel();
            return RefusalText(e, &u).split(QLatin1Char('\n'));
        }
        ADD_FAILURE() << "stored " << kod.toStdString();
        return QStringList();
    };
    const QStringList duplicate = refusal(QStringLiteral("admin"), QStringLiteral("y"));
    EXPECT_EQ(duplicate.value(0),
              QStringLiteral("A(z) „Belépő kód” mezőben megadott „admin” érték "
                             "már szerepel az adatbázisban; adjon meg másikat."));
    // The server's own words stay on the second line.
    EXPECT_TRUE(duplicate.value(1).startsWith(QStringLiteral("Duplicate entry 'admin'")));
    EXPECT_EQ(refusal(QStringLiteral("b"), QStringLiteral("hosszú")).value(0),
              QStringLiteral("A(z) „Név” mezőbe írt szöveg túl hosszú; legfeljebb 5 karakter fér "
                             "bele."));
    EXPECT_EQ(refusal(QStringLiteral("c"), QVariant()).value(0),
              QStringLiteral("A(z) „Név” mezőt ki kell tölteni."));

    c->exec(QStringLiteral("CREATE TABLE gy (id INT PRIMARY KEY) ENGINE=InnoDB"));
    c->exec(
        QStringLiteral("CREATE TABLE f (id INT PRIMARY KEY, gy INT, "
                       "FOREIGN KEY (gy) REFERENCES gy (id)) ENGINE=InnoDB"));
    const auto failure = [&](const QString& sql) {
        try {
            c->exec(sql);
        } catch (const std::exception& e) {
            return RefusalText(e).section(QLatin1Char('\n'), 0, 0);
        }
        return QStringLiteral("<nincs hiba>");
    };
    EXPECT_EQ(failure(QStringLiteral("INSERT INTO f VALUES (1, 7)")),
              QStringLiteral("A(z) „gy” mezőben megadott érték nem létező sorra hivatkozik."));
    c->exec(QStringLiteral("INSERT INTO gy VALUES (7)"));
    c->exec(QStringLiteral("INSERT INTO f VALUES (1, 7)"));
    EXPECT_EQ(failure(QStringLiteral("DELETE FROM gy")),
              QStringLiteral("A sor nem törölhető és nem módosítható, mert más adatok hivatkoznak "
                             "rá."));
    EXPECT_TRUE(RefusalText(DbError(CR_SERVER_LOST, QStringLiteral("Lost connection")))
                    .startsWith(QStringLiteral("Megszakadt a kapcsolat")));
    EXPECT_EQ(RefusalText(std::runtime_error("saját")), QStringLiteral("saját"));
}

TEST_F(DatasetTest, DeclaresFieldKindsFromTheServer) {
    auto t = table();
    auto kind = [&](const char* name) { return t->fieldByName(QString::fromLatin1(name)).kind; };
    EXPECT_EQ(kind("id"), FieldKind::Integer);
    EXPECT_TRUE(t->fieldByName(QStringLiteral("id")).primaryKey);
    EXPECT_TRUE(t->fieldByName(QStringLiteral("id")).autoIncrement);
    EXPECT_EQ(kind("nev"), FieldKind::Text);
    EXPECT_EQ(t->fieldByName(QStringLiteral("nev")).size, 20);
    EXPECT_EQ(kind("megj"), FieldKind::Memo);
    EXPECT_EQ(kind("osszeg"), FieldKind::Float);
    EXPECT_EQ(kind("darab"), FieldKind::LargeInt);
    EXPECT_EQ(kind("nap"), FieldKind::Date);
    EXPECT_EQ(kind("ido"), FieldKind::Time);
    EXPECT_EQ(kind("mikor"), FieldKind::DateTime);
    EXPECT_EQ(kind("kep"), FieldKind::Binary);
}

TEST_F(DatasetTest, InsertedRowComesBackWithItsKeyServerDefaultsAndExactValues) {
    auto t = table();
    t->append();
    EXPECT_EQ(t->state(), Dataset::State::Insert);
    t->setValue(QStringLiteral("nev"), QStringLiteral("Őze Űrsula"));
    t->setValue(QStringLiteral("megj"), kPangram + QStringLiteral("\r\n'idéz\\jel'"));
    t->setValue(QStringLiteral("osszeg"), 0.1 + 0.2);
    t->setValue(QStringLiteral("darab"), QVariant(qlonglong(9007199254740993LL)));
    t->setValue(QStringLiteral("nap"), QDate(2026, 2, 28));
    t->setValue(QStringLiteral("ido"), QTime(23, 59, 58));
    t->setValue(QStringLiteral("kep"), QByteArray("\x00\xff'\\", 4));
    t->post();
    EXPECT_EQ(t->state(), Dataset::State::Browse);
    // The key the server gave, whatever its offset and step.
    EXPECT_EQ(t->value(QStringLiteral("id")).toULongLong(), c->lastInsertId());
    EXPECT_GT(c->lastInsertId(), 0u);
    EXPECT_FALSE(t->isNull(QStringLiteral("rogzitve")));  // filled by the server
    EXPECT_TRUE(t->isNull(QStringLiteral("mikor")));

    Query q(c.get());
    q.setSql(QStringLiteral("SELECT * FROM t"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.value(QStringLiteral("nev")).toString(), QStringLiteral("Őze Űrsula"));
    EXPECT_EQ(q.value(QStringLiteral("megj")).toString(),
              kPangram + QStringLiteral("\r\n'idéz\\jel'"));
    EXPECT_EQ(q.value(QStringLiteral("osszeg")).toDouble(), 0.1 + 0.2);
    EXPECT_EQ(q.value(QStringLiteral("darab")).toLongLong(), 9007199254740993LL);
    EXPECT_EQ(q.value(QStringLiteral("nap")).toDate(), QDate(2026, 2, 28));
    EXPECT_EQ(q.value(QStringLiteral("ido")).toTime(), QTime(23, 59, 58));
    EXPECT_EQ(q.value(QStringLiteral("kep")).toByteArray(), QByteArray("\x00\xff'\\", 4));
    EXPECT_EQ(q.displayText(0, q.fieldIndex(QStringLiteral("nap"))), QStringLiteral("2026.02.28."));
    EXPECT_EQ(q.displayText(0, q.fieldIndex(QStringLiteral("ido"))), QStringLiteral("23:59:58"));
    // A double without a pattern shows fifteen digits, not the server's seventeen.
    EXPECT_EQ(q.textAt(0, q.fieldIndex(QStringLiteral("osszeg"))),
              QStringLiteral("0.30000000000000004"));
    EXPECT_EQ(q.displayText(0, q.fieldIndex(QStringLiteral("osszeg"))), QStringLiteral("0,3"));
}

TEST_F(DatasetTest, RefusedCharacterNamesItselfAndLeavesTheRowInEditing) {
    auto t = table();
    t->append();
    t->setValue(QStringLiteral("nev"), QStringLiteral("ár: 100 Ж"));
    try {
        t->post();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), DbError::kEncoding);
        EXPECT_TRUE(e.message().contains(QStringLiteral("Ж")));
    }
    EXPECT_EQ(t->state(), Dataset::State::Insert);
    EXPECT_EQ(t->value(QStringLiteral("nev")).toString(), QStringLiteral("ár: 100 Ж"));
    t->cancel();
    EXPECT_EQ(t->recordCount(), 0);
    EXPECT_EQ(c->scalar(QStringLiteral("SELECT COUNT(*) FROM t")).text, "0");
}

TEST_F(DatasetTest, BeforePostCanCompleteOrStopThePost) {
    auto t = table();
    t->setBeforePost([](Dataset& d) {
        if (d.value(QStringLiteral("nev")).isNull())
            throw DbError(DbError::kState, QStringLiteral("A név kötelező."));
        d.setValue(QStringLiteral("megj"), QStringLiteral("ellenőrizve"));
    });
    t->append();
    EXPECT_THROW(t->post(), DbError);
    EXPECT_EQ(t->state(), Dataset::State::Insert);
    t->setValue(QStringLiteral("nev"), QStringLiteral("Kész"));
    t->post();
    EXPECT_EQ(c->scalar(QStringLiteral("SELECT CONCAT(nev, '/', megj) FROM t")).text,
              QStringLiteral("Kész/ellenőrizve"));
}

TEST_F(DatasetTest, ServerRefusalKeepsWhatWasTyped) {
    auto t = table();
    t->append();
    t->setValue(QStringLiteral("nev"), QStringLiteral("túl hosszú név, huszonegy+ karakter"));
    EXPECT_THROW(t->post(), DbError);  // strict mode refuses the long name
    EXPECT_EQ(t->state(), Dataset::State::Insert);
    EXPECT_EQ(t->value(QStringLiteral("nev")).toString(),
              QStringLiteral("túl hosszú név, huszonegy+ karakter"));
}

TEST_F(DatasetTest, SecondWorkstationCannotOverwriteAChangeItHasNotSeen) {
    const int id = addRow(QStringLiteral("Kovács"), 100);
    auto other = db.connect();
    auto mine = table();
    auto theirs = table(other.get());

    theirs->edit();
    theirs->setValue(QStringLiteral("nev"), QStringLiteral("Kovács Kft."));
    theirs->post();

    mine->edit();
    mine->setValue(QStringLiteral("nev"), QStringLiteral("Kovács Bt."));
    try {
        mine->post();
        FAIL() << "stale post overwrote another user's change";
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), DbError::kRowChanged);
    }
    EXPECT_EQ(mine->state(), Dataset::State::Edit);
    EXPECT_EQ(mine->value(QStringLiteral("nev")).toString(), QStringLiteral("Kovács Bt."));
    EXPECT_EQ(c->scalar(QStringLiteral("SELECT nev FROM t WHERE id=%1").arg(id)).text,
              QStringLiteral("Kovács Kft."));

    // After a refresh the user sees the other change and may store over it knowingly.
    mine->cancel();
    mine->refresh();
    mine->edit();
    mine->setValue(QStringLiteral("nev"), QStringLiteral("Kovács Bt."));
    mine->post();
    EXPECT_EQ(c->scalar(QStringLiteral("SELECT nev FROM t WHERE id=%1").arg(id)).text,
              QStringLiteral("Kovács Bt."));
}

TEST_F(DatasetTest, ChangesTheCollationWouldHideAreStillConflicts) {
    addRow(QStringLiteral("kovács"));
    auto mine = table();
    c->exec(QStringLiteral("UPDATE t SET nev = 'KOVÁCS'"));  // equal under the Hungarian collation
    mine->edit();
    mine->setValue(QStringLiteral("nev"), QStringLiteral("Kovács"));
    EXPECT_THROW(mine->post(), DbError);
}

TEST_F(DatasetTest, ASmallChangeOfALargeAmountIsStillAConflict) {
    const int id = addRow(QStringLiteral("Nagy"), 12345678901.0);
    auto mine = table();
    c->exec(QStringLiteral("UPDATE t SET osszeg = 12345678902 WHERE id=%1").arg(id));
    mine->edit();
    mine->setValue(QStringLiteral("osszeg"), 5.0);
    EXPECT_THROW(mine->post(), DbError);
    EXPECT_EQ(c->scalar(QStringLiteral("SELECT osszeg FROM t")).text, "12345678902");
}

TEST_F(DatasetTest, AmountsReadBackExactlyAreNoConflict) {
    // Values whose text differs from their double in the last digits: the
    // server's text of a DOUBLE and a FLOAT still match what it holds.
    c->exec(QStringLiteral("ALTER TABLE t ADD kicsi FLOAT"));
    const int id = addRow(QStringLiteral("Kis"), 0.1 + 0.2);
    c->exec(
        QStringLiteral("UPDATE t SET kicsi = 1234.567, osszeg = osszeg / 3 WHERE id=%1").arg(id));
    auto mine = table();
    mine->edit();
    mine->setValue(QStringLiteral("osszeg"), 1.0);
    mine->setValue(QStringLiteral("kicsi"), 2.0);
    mine->post();
    EXPECT_EQ(c->scalar(QStringLiteral("SELECT CONCAT(osszeg, '|', kicsi) FROM t")).text, "1|2");
}

TEST_F(DatasetTest, ChangingOtherColumnsOrNothingIsNoConflict) {
    const int id = addRow(QStringLiteral("Nagy"), 0.1 + 0.2);
    auto mine = table();
    c->exec(QStringLiteral("UPDATE t SET megj = 'más gépen' WHERE id=%1").arg(id));
    mine->edit();
    mine->setValue(QStringLiteral("nev"), QStringLiteral("Nagy"));  // unchanged
    mine->post();
    mine->edit();
    mine->setValue(QStringLiteral("osszeg"), 5.5);
    mine->post();
    EXPECT_EQ(c->scalar(QStringLiteral("SELECT CONCAT(osszeg, '|', megj) FROM t")).text,
              QStringLiteral("5.5|más gépen"));
}

TEST_F(DatasetTest, RowDeletedByAnotherUserIsReportedOnPostAndOnDelete) {
    addRow(QStringLiteral("Első"));
    addRow(QStringLiteral("Második"));
    auto mine = table();
    c->exec(QStringLiteral("DELETE FROM t"));
    mine->edit();
    mine->setValue(QStringLiteral("nev"), QStringLiteral("Új név"));
    EXPECT_THROW(mine->post(), DbError);
    mine->cancel();
    mine->next();
    try {
        mine->remove();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), DbError::kRowChanged);
    }
    EXPECT_EQ(mine->recordCount(), 2);  // nothing removed from the list on failure
    EXPECT_EQ(c->scalar(QStringLiteral("SELECT COUNT(*) FROM t")).text, "0");
}

TEST_F(DatasetTest, DeleteRemovesOnlyItsRowAndMovesOn) {
    addRow(QStringLiteral("a"));
    const int second = addRow(QStringLiteral("b"));
    addRow(QStringLiteral("c"));
    auto t = table();
    ASSERT_TRUE(t->locate(QStringLiteral("id"), second));
    t->remove();
    EXPECT_EQ(t->recordCount(), 2);
    EXPECT_EQ(t->value(QStringLiteral("nev")).toString(), "c");
    EXPECT_EQ(c->scalar(QStringLiteral("SELECT GROUP_CONCAT(nev ORDER BY id) FROM t")).text, "a,c");
}

TEST_F(DatasetTest, OrdersByHungarianCollation) {
    for (const char* n : {"cukor", "Csaba", "ág", "Zoltán", "alma", "Ödön", "olló", "úr", "Ugrai"})
        addRow(QString::fromUtf8(n));
    Query q(c.get());
    q.setSql(QStringList{QStringLiteral("SELECT nev FROM t"), QStringLiteral("ORDER BY nev;")});
    q.open();
    QStringList got;
    for (int i = 0; i < q.recordCount(); ++i) got << q.textAt(i, 0);
    const QString expected =
        c->scalar(QStringLiteral("SELECT GROUP_CONCAT(nev ORDER BY nev COLLATE latin2_hungarian_ci "
                                 "SEPARATOR ',') FROM t"))
            .text;
    EXPECT_EQ(got.join(QLatin1Char(',')), expected);
    // Accented vowels sort with their plain letters, capitals with small ones.
    EXPECT_LT(got.indexOf(QStringLiteral("alma")), got.indexOf(QStringLiteral("cukor")));
    EXPECT_LT(got.indexOf(QStringLiteral("ág")), got.indexOf(QStringLiteral("cukor")));
    EXPECT_LT(got.indexOf(QStringLiteral("Ödön")), got.indexOf(QStringLiteral("Ugrai")));
    EXPECT_EQ(got.last(), QStringLiteral("Zoltán"));
}

TEST_F(DatasetTest, LocatesExactlyOrByCaseInsensitivePrefix) {
    addRow(QStringLiteral("Árvíz Bt."));
    addRow(QStringLiteral("őrház"));
    addRow(QStringLiteral("Őrség Kft."));
    auto t = table();
    EXPECT_TRUE(t->locate(QStringLiteral("nev"), QStringLiteral("ŐRS"), {true, true}));
    EXPECT_EQ(t->recNo(), 3);
    EXPECT_TRUE(t->locate(QStringLiteral("nev"), QStringLiteral("árv"), {true, true}));
    EXPECT_EQ(t->recNo(), 1);
    EXPECT_FALSE(t->locate(QStringLiteral("nev"), QStringLiteral("árv"), {}));  // exact
    EXPECT_EQ(t->recNo(), 1);
    EXPECT_FALSE(t->locate(QStringLiteral("nev"), QStringLiteral("őrs"), {false, true}));
    // Keys need not follow each other (a cluster hands them out in steps).
    const QString second =
        c->scalar(QStringLiteral("SELECT id FROM t ORDER BY id LIMIT 1 OFFSET 1")).text;
    EXPECT_TRUE(t->locate(QStringLiteral("id"), second));
    EXPECT_EQ(t->value(QStringLiteral("nev")).toString(), QStringLiteral("őrház"));
    try {
        t->locate(QStringLiteral("id"), QStringLiteral("ab"), {true, true});
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), DbError::kLocate);
    }
    EXPECT_EQ(t->recNo(), 2);
}

// The case-insensitive prefix is compared on the stored bytes: it must agree
// with the decoded text's own comparison for every character of the code
// page, in both case forms, and never reach past a short or NULL value.
TEST(DatasetLocate, APrefixIgnoringCaseAgreesWithTheDecodedTextForEveryCharacter) {
    Field name;
    name.name = QStringLiteral("nev");
    name.kind = FieldKind::Text;
    std::vector<QByteArray> texts;
    for (int b = 1; b < 256; ++b) texts.push_back(QByteArray(1, static_cast<char>(b)) + "x");
    std::vector<const char*> cells;
    std::vector<unsigned long> lengths;
    for (const QByteArray& t : texts) {
        cells.push_back(t.constData());
        lengths.push_back(static_cast<unsigned long>(t.size()));
    }
    cells.push_back(nullptr);
    lengths.push_back(0);
    PackedRows packed(1);
    for (size_t i = 0; i < cells.size(); ++i) packed.add(&cells[i], &lengths[i]);
    Query list(nullptr);
    list.present({name}, packed.rows(), {}, 0);
    for (const QByteArray& t : texts) {
        const QString decoded = FromCp1250(t);
        for (const QString& prefix : {decoded.left(1).toUpper(), decoded.left(1).toLower(),
                                      decoded.toUpper(), decoded + QStringLiteral("y")}) {
            int expected = -1;
            for (int row = 0; row + 1 < list.recordCount() && expected < 0; ++row)
                if (list.textAt(row, 0).startsWith(prefix, Qt::CaseInsensitive)) expected = row;
            list.moveTo(list.recordCount() - 1);
            EXPECT_EQ(list.locate(QStringLiteral("nev"), prefix, {true, true}), expected >= 0)
                << qPrintable(prefix);
            if (expected >= 0) {
                EXPECT_EQ(list.currentRow(), expected) << qPrintable(prefix);
            }
        }
    }
}

TEST_F(DatasetTest, NavigatesAndSignalsEveryMove) {
    for (int i = 0; i < 5; ++i) addRow(QString::number(i));
    Query q(c.get());
    q.setSql(QStringLiteral("SELECT * FROM t ORDER BY id"));
    QSignalSpy opened(&q, &Dataset::afterOpen);
    QSignalSpy scrolled(&q, &Dataset::afterScroll);
    q.open();
    EXPECT_EQ(opened.count(), 1);
    EXPECT_EQ(scrolled.count(), 1);  // onto the first row
    EXPECT_EQ(q.recNo(), 1);
    int visited = 0;
    for (q.first(); !q.eof(); q.next()) ++visited;
    EXPECT_EQ(visited, 5);
    EXPECT_EQ(q.recNo(), 5);
    q.prior();
    EXPECT_EQ(q.recNo(), 4);
    EXPECT_FALSE(q.eof());
    EXPECT_THROW(q.edit(), DbError);  // a query is read-only

    Query empty(c.get());
    empty.setSql(QStringLiteral("SELECT * FROM t WHERE id < 0"));
    empty.open();
    EXPECT_TRUE(empty.eof());
    EXPECT_EQ(empty.recNo(), 0);
    EXPECT_TRUE(empty.value(QStringLiteral("nev")).isNull());
}

TEST_F(DatasetTest, RefreshFetchesAgainAndKeepsTheRowByKey) {
    addRow(QStringLiteral("b"));
    const int target = addRow(QStringLiteral("c"));
    Query q(c.get());
    q.setSql(QStringLiteral("SELECT * FROM t ORDER BY nev"));
    q.setKeyField(QStringLiteral("id"));
    q.open();
    q.locate(QStringLiteral("id"), target);
    EXPECT_EQ(q.recNo(), 2);
    addRow(QStringLiteral("a"));  // another workstation adds a row before it
    q.refresh();
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_EQ(q.recNo(), 3);
    EXPECT_EQ(q.value(QStringLiteral("id")).toInt(), target);

    c->exec(QStringLiteral("DELETE FROM t WHERE id=%1").arg(target));
    q.refresh();  // the row is gone: stay near where it was
    EXPECT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.recNo(), 2);
}

TEST_F(DatasetTest, ParametersBecomeLiteralsOutsideQuotesOnly) {
    const int id = addRow(QStringLiteral("o'Brien :pid"));
    Query q(c.get());
    q.setSql(
        QStringList{QStringLiteral("SELECT nev, ':pid' AS szo, TIME('10:30:00') AS ido FROM t"),
                    QStringLiteral("WHERE id = :pid AND nev LIKE :minta")});
    q.setParam(QStringLiteral("pid"), id);
    q.setParam(QStringLiteral("minta"), QStringLiteral("o'B%"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.value(QStringLiteral("szo")).toString(), QStringLiteral(":pid"));
    EXPECT_EQ(q.value(QStringLiteral("nev")).toString(), QStringLiteral("o'Brien :pid"));
}

TEST_F(DatasetTest, EditableModelGathersTypedCellsOfOneRowUntilItIsPosted) {
    addRow(QStringLiteral("Kiss"), 1.5);
    addRow(QStringLiteral("Nagy"), 2);
    auto t = table();
    EditableDatasetModel model(t.get());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const int nev = model.columnOfField(QStringLiteral("nev"));
    const int osszeg = model.columnOfField(QStringLiteral("osszeg"));
    EXPECT_TRUE(model.flags(model.index(0, nev)) & Qt::ItemIsEditable);
    EXPECT_EQ(model.data(model.index(1, osszeg), Qt::EditRole).toString(), QStringLiteral("2"));

    EXPECT_TRUE(model.setData(model.index(1, nev), QStringLiteral("Tóth")));
    EXPECT_TRUE(model.setData(model.index(1, osszeg), QString()));
    EXPECT_EQ(model.pendingRow(), 1);
    EXPECT_EQ(model.data(model.index(1, nev), Qt::DisplayRole).toString(), QStringLiteral("Tóth"));
    EXPECT_FALSE(model.setData(model.index(0, nev), QStringLiteral("x")));  // another row waits
    EXPECT_EQ(c->scalar(QStringLiteral("SELECT nev FROM t WHERE osszeg = 2")).text,
              QStringLiteral("Nagy"));
    t->post();
    EXPECT_EQ(
        c->scalar(QStringLiteral("SELECT COUNT(*) FROM t WHERE nev = 'Tóth' AND osszeg IS NULL"))
            .text,
        QStringLiteral("1"));

    Query q(c.get());
    q.setSql(QStringLiteral("SELECT * FROM t"));
    q.open();
    EditableDatasetModel readOnly(&q);
    EXPECT_FALSE(readOnly.flags(readOnly.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(readOnly.setData(readOnly.index(0, 0), QStringLiteral("9")));
}

TEST_F(DatasetTest, ModelShowsFormattedCellsAndFollowsTheDataset) {
    addRow(QStringLiteral("Kiss"), 1234567.5);
    addRow(QStringLiteral("Nagy"), -12);
    auto t = table();
    t->fieldByName(QStringLiteral("osszeg")).displayFormat = QStringLiteral("### ### ##0");
    t->fieldByName(QStringLiteral("nev")).label = QStringLiteral("Név");
    DatasetModel model(t.get());
    model.setColumns({QStringLiteral("nev"), QStringLiteral("osszeg")});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Név"));
    EXPECT_EQ(model.data(model.index(0, 1), Qt::DisplayRole).toString(),
              QStringLiteral("1 234 568"));
    EXPECT_EQ(model.data(model.index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("-12"));
    EXPECT_EQ(model.data(model.index(0, 1), Qt::EditRole).toDouble(), 1234567.5);
    EXPECT_TRUE(model.data(model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight);

    t->append();
    EXPECT_EQ(model.rowCount(), 3);
    t->setValue(QStringLiteral("nev"), QStringLiteral("Új"));
    t->post();
    EXPECT_EQ(model.data(model.index(2, 0), Qt::DisplayRole).toString(), QStringLiteral("Új"));
    t->remove();
    EXPECT_EQ(model.rowCount(), 2);
    t->close();
    EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
}  // namespace zomi::dbaccess

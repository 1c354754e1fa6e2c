// A list narrowed and ordered on the client must show exactly the rows, in
// the order, that the server's query gives; checked against the server.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMap>
#include <QSet>
#include <QSignalSpy>
#include <QThread>
#include <cctype>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "common/SearchFilter.h"
#include "dbaccess/ListFetcher.h"
#include "dbaccess/LiveList.h"
#include "support/TestDatabase.h"

namespace zomi::dbaccess {
namespace {

using test::TestDatabase;

const QString kSearchFields = QStringLiteral("sorszamstr;cim;vallalkozo_nev;statusz_nev");
const QString kAll = QStringLiteral("(1=1)");

const char* const kContractors[] = {"Őri Ödön",
                                    "őri ödön kft.",
                                    "Űrhajó Bt.",
                                    "ŰRHAJÓ BT.",
                                    "űrhajós",
                                    "Ács Ádám",
                                    "ács",
                                    "Acél Kft",
                                    "acél",
                                    "Csizmadia",
                                    "Cukor és Tsa",
                                    "Oláh",
                                    "Ölveti",
                                    "Úr",
                                    "Uzsoki",
                                    "Zsák",
                                    "Ütő",
                                    "Ezüst 50%",
                                    "Alul_vonás",
                                    "Back\\slash",
                                    "O'Neil",
                                    "  vezető",
                                    "záró  ",
                                    "a, vesszővel, írt",
                                    "A"};
const char* const kSites[] = {"Szőlő utca 1.", "Üllői út 3.", "Őr utca",  "ŐR UTCA",
                              "Kőris utca, B", "Baross tér",  "Ürömi út", "öböl",
                              "Ó utca",        "o utca",      "ó  utca  "};

QString quoted(const char* text) {
    QString t = QString::fromUtf8(text);
    t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    t.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

QString rowText(const RowRef& row, size_t columns) {
    QStringList cells;
    for (size_t c = 0; c < columns; ++c)
        cells << (row.cell(c)
                      ? QString::fromLatin1(row.cell(c), static_cast<qsizetype>(row.length(c)))
                      : QStringLiteral("<NULL>"));
    return cells.join(QLatin1Char('|'));
}

class LiveListTest : public ::testing::Test {
  protected:
    LiveListTest() : db(TestDatabase::Content::Schema), c(db.connect()) {
        QStringList values;
        int key = 0;
        for (const char* name : kContractors)
            values << QStringLiteral("(%1, %2)").arg(++key).arg(quoted(name));
        c->exec(QStringLiteral("INSERT INTO vallalkozo (vallalkozo, vallalkozo_nev) VALUES ") +
                values.join(QLatin1Char(',')));
        values.clear();
        key = 0;
        for (const char* site : kSites)
            values << QStringLiteral("(%1, %2)").arg(++key).arg(quoted(site));
        c->exec(QStringLiteral("INSERT INTO ktgh (ktgh, cim) VALUES ") +
                values.join(QLatin1Char(',')));
        // Undated rows, rows without contractor (key 0 has none), equal
        // dates and times, and more rows than the first block.
        c->exec(QStringLiteral(
            "INSERT INTO zomi (datum, ido, sorszam, vallalkozo, ktgh, statusz) "
            "SELECT IF(seq % 37 = 0, NULL, '2024-01-01' + INTERVAL (seq * 7) % 400 DAY), "
            "IF(seq % 11 = 0, NULL, SEC_TO_TIME((seq * 977) % 86400)), seq, seq % 26, "
            "1 + seq % 11, 1 + seq % 6 FROM seq_1_to_320"));
        connection.setParams(db.params());
        connection.open();
        list.setSql(QStringList{QStringLiteral("SELECT * FROM vw_zomi"),
                                QStringLiteral("WHERE zomi>0"),
                                QStringLiteral("ORDER BY sorszamstr;")});
        list.setKeyField(QStringLiteral("zomi"));
        live.setSearchFields(kSearchFields);
        live.setErrorHandler([](const std::exception& e) { ADD_FAILURE() << e.what(); });
    }

    void openAll(const QString& sort = QStringLiteral("cim")) {
        live.open(kAll, QString(), sort);
        live.settle();
    }

    QStringList shown() const {
        QStringList rows;
        for (const RowRef& r : list.rows()) rows << rowText(r, list.fieldNames().size());
        return rows;
    }

    // The rows must be the server's, and each one's sort value, as the
    // server ranks it, no lower than the one before.
    void expectServerAnswer(const QString& text, const QString& sort, const QString& base = kAll) {
        SCOPED_TRACE(("search \"" + text + "\" by " + sort).toStdString());
        const QString where = base + BuildSearchFilter(kSearchFields, text, true);
        const ResultSetPtr rows =
            c->query(QStringLiteral("SELECT * FROM vw_zomi WHERE %1 ORDER BY %2").arg(where, sort));
        QStringList expected;
        for (int i = 0; i < rows->rowCount(); ++i)
            expected << rowText(rows->row(i), rows->fields().size());
        QStringList actual = shown();
        std::sort(actual.begin(), actual.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_TRUE(actual == expected)
            << actual.size() << " rows shown, " << expected.size() << " from the server";

        const ResultSetPtr ranks = c->query(
            QStringLiteral("SELECT zomi, DENSE_RANK() OVER (ORDER BY %2) FROM vw_zomi WHERE %1")
                .arg(where, sort));
        QMap<QByteArray, int> rankOf;
        for (int i = 0; i < ranks->rowCount(); ++i)
            rankOf[QByteArray(ranks->row(i).cell(0))] = std::atoi(ranks->row(i).cell(1));
        const int key = list.fieldIndex(QStringLiteral("zomi"));
        int previous = 0;
        for (const RowRef& r : list.rows()) {
            const QByteArray zomi(r.cell(key), static_cast<qsizetype>(r.length(key)));
            const int rank = rankOf.value(zomi);
            EXPECT_GE(rank, previous) << "work order " << zomi.constData();
            previous = rank;
        }
    }

    TestDatabase db;
    std::unique_ptr<Connection> c;
    Connection connection;
    Query list{&connection};
    LiveList live{&list, &connection};
};

TEST_F(LiveListTest, SearchesGiveTheServersRowsForEveryCaseFormAndSeparator) {
    openAll();
    ASSERT_TRUE(live.collation().isValid());
    ASSERT_EQ(list.recordCount(), 320);
    const char* const texts[] = {"ő",    "Ő",     "ű",      "Ű",          "á",         "A",
                                 "o",    "ö",     "ó utca", "őr, ödön",   "űrhajó;bt", "cs",
                                 "utca", "ács b", "50%",    "alul_",      "k\\s",      "o'n",
                                 "z  ",  "2024/", "",       "a b c d xx", "    ő",     "ŐR ÖDÖN"};
    for (const char* text : texts) {
        live.setSearchText(QString::fromUtf8(text));
        expectServerAnswer(QString::fromUtf8(text), QStringLiteral("cim"));
    }
}

// Over a hundred thousand rows the values of the columns searched are
// numbered in the background and tested once each: the rows found are still
// the server's, in the order shown, after a title click and a removal.
TEST_F(LiveListTest, SearchesByNumberedValuesGiveTheServersRows) {
    c->exec(QStringLiteral(
        "INSERT INTO zomi (datum, sorszam, vallalkozo, ktgh, statusz) SELECT '2023-01-01' + "
        "INTERVAL seq % 300 DAY, seq, seq % 27, 1 + seq % 11, IF(seq % 5 = 0, NULL, 1 + seq % 6) "
        "FROM seq_1_to_100000"));
    openAll();
    for (int waited = 0; !live.searchesByValues() && waited < 3000; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(live.searchesByValues());
    for (const char* text : {"ő", "Ő utca", "ács b", "2023/0001", "kft", "a b c d"}) {
        live.setSearchText(QString::fromUtf8(text));
        expectServerAnswer(QString::fromUtf8(text), QStringLiteral("cim"));
    }
    live.setSortField(QStringLiteral("vallalkozo_nev"));
    live.setSearchText(QStringLiteral("b"));
    expectServerAnswer(QStringLiteral("b"), QStringLiteral("vallalkozo_nev"));
    const int key = list.fieldIndex(QStringLiteral("zomi"));
    const QVariant gone = list.valueAt(0, key);
    c->exec(QStringLiteral("DELETE FROM zomi WHERE zomi = ") + gone.toString());
    live.forget(gone);
    live.setSearchText(QStringLiteral("bt"));
    expectServerAnswer(QStringLiteral("bt"), QStringLiteral("vallalkozo_nev"));
}

// Over two hundred thousand rows a search finds its rows in a thread while
// the window goes on. A key typed before they are shown, a title click, a
// removal and a locate asked meanwhile all come out as if the search had
// been made at once: the server's rows, in the order shown.
TEST_F(LiveListTest, ALongListsSearchInAThreadGivesTheServersRowsWhateverComesMeanwhile) {
    c->exec(QStringLiteral(
        "INSERT INTO zomi (datum, sorszam, vallalkozo, ktgh, statusz) SELECT '2023-01-01' + "
        "INTERVAL seq % 300 DAY, seq, seq % 27, 1 + seq % 11, 1 + seq % 6 "
        "FROM seq_1_to_200100"));
    openAll();
    const auto untilShown = [this] {
        while (live.deriving()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    live.setSearchText(QStringLiteral("ő"));
    EXPECT_TRUE(live.deriving());
    EXPECT_FALSE(live.isLoaded());
    live.setSearchText(QStringLiteral("ő u"));
    untilShown();
    expectServerAnswer(QStringLiteral("ő u"), QStringLiteral("cim"));

    live.setSearchText(QStringLiteral("b"));
    live.setSortField(QStringLiteral("vallalkozo_nev"));
    untilShown();
    expectServerAnswer(QStringLiteral("b"), QStringLiteral("vallalkozo_nev"));

    // The first row shown is removed while the next search is still looking.
    const int key = list.fieldIndex(QStringLiteral("zomi"));
    const QVariant gone = list.valueAt(0, key);
    c->exec(QStringLiteral("DELETE FROM zomi WHERE zomi = ") + gone.toString());
    live.setSearchText(QStringLiteral("bt"));
    live.forget(gone);
    EXPECT_FALSE(live.deriving());
    expectServerAnswer(QStringLiteral("bt"), QStringLiteral("vallalkozo_nev"));

    // A locate waits for the rows it is to look through; over all of them
    // it reads them in a thread of its own.
    const int name = list.fieldIndex(QStringLiteral("vallalkozo_nev"));
    const auto located = [&](const QString& text) {
        untilShown();
        while (live.locating()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::processEvents();
        int first = -1;
        for (int row = 0; row < list.recordCount() && first < 0; ++row)
            if (list.textAt(row, name).startsWith(text, Qt::CaseInsensitive)) first = row;
        EXPECT_GT(first, 0) << text.toStdString();
        EXPECT_EQ(list.currentRow(), first) << text.toStdString();
    };
    live.setSearchText(QStringLiteral("kft"));
    live.locate(QStringLiteral("vallalkozo_nev"), QStringLiteral("Ő"));
    located(QStringLiteral("ő"));
    expectServerAnswer(QStringLiteral("kft"), QStringLiteral("vallalkozo_nev"));
    // The search box's own locate, of the text typed, is made by the
    // search's thread: by the contractors' numbered values in the order of
    // a title click, by the cells in the server's order.
    live.setSearchText(QStringLiteral("Ő"), QStringLiteral("vallalkozo_nev"));
    EXPECT_TRUE(live.deriving());
    located(QStringLiteral("ő"));
    expectServerAnswer(QStringLiteral("Ő"), QStringLiteral("vallalkozo_nev"));
    live.setSortField(QStringLiteral("cim"));
    untilShown();
    live.setSearchText(QStringLiteral("ó"), QStringLiteral("cim"));
    EXPECT_TRUE(live.deriving());
    untilShown();
    int firstSite = -1;
    const int site = list.fieldIndex(QStringLiteral("cim"));
    for (int row = 0; row < list.recordCount() && firstSite < 0; ++row)
        if (list.textAt(row, site).startsWith(QStringLiteral("ó"), Qt::CaseInsensitive))
            firstSite = row;
    EXPECT_GT(firstSite, 0);
    EXPECT_EQ(list.currentRow(), firstSite);
    live.setSortField(QStringLiteral("vallalkozo_nev"));
    untilShown();
    live.setSearchText(QString());
    live.locate(QStringLiteral("vallalkozo_nev"), QStringLiteral("ü"));
    located(QStringLiteral("ü"));
    // A search typed before the thread found its row keeps the list on
    // the search's first row.
    live.locate(QStringLiteral("vallalkozo_nev"), QStringLiteral("z"));
    live.setSearchText(QStringLiteral("o"));
    untilShown();
    while (live.locating()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.currentRow(), 0);
}

// "%", "_" and the backslash typed into the box are letters, from memory
// (narrowing letter by letter) and from the server alike.
TEST_F(LiveListTest, WildcardCharactersInTheSearchMatchOnlyThemselves) {
    openAll();
    const auto contractorsShown = [this] {
        QSet<QString> names;
        const int name = list.fieldIndex(QStringLiteral("vallalkozo_nev"));
        for (int row = 0; row < list.recordCount(); ++row) names << list.textAt(row, name);
        return names;
    };
    const QSet<QString> percent{QStringLiteral("Ezüst 50%")};
    const QSet<QString> underscore{QStringLiteral("Alul_vonás")};
    const QSet<QString> backslash{QStringLiteral("Back\\slash")};
    const QSet<QString> none;
    // "50" also finds serial numbers; "50%" then narrows those rows in memory.
    const std::pair<const char*, const QSet<QString>*> cases[] = {
        {"50", nullptr},        {"50%", &percent},    {"%", &percent},      {"_", &underscore},
        {"alul_", &underscore}, {"l_v", &underscore}, {"k\\s", &backslash}, {"%_", &none}};
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        live.setSearchText(QString::fromUtf8(text));
        if (expected) {
            EXPECT_EQ(contractorsShown(), *expected);
        }
        expectServerAnswer(QString::fromUtf8(text), QStringLiteral("cim"));
    }
}

TEST_F(LiveListTest, TitleClicksOrderTextDateTimeAndNumberColumnsAsTheServer) {
    openAll();
    live.setSearchText(QStringLiteral("u"));
    for (const char* sort :
         {"vallalkozo_nev", "datum", "ido", "ktgh", "statusz_nev", "sorszamstr", "cim"}) {
        live.setSortField(QString::fromLatin1(sort));
        expectServerAnswer(QStringLiteral("u"), QString::fromLatin1(sort));
    }
    live.setSearchText(QString());
    expectServerAnswer(QString(), QStringLiteral("cim"));
    // The server's own answer follows and finds nothing to change.
    QSignalSpy resets(&list, &Dataset::rowsReset);
    live.settle();
    EXPECT_EQ(resets.count(), 0);
}

// After a title click the rows lie in another order than they arrived in:
// searches, a row removed and a return to an order made before must still
// give the server's rows in the server's order.
TEST_F(LiveListTest, AnOrderMadeOnTheClientHoldsThroughSearchesRemovalsAndReturns) {
    openAll(QStringLiteral("sorszamstr"));
    live.setSortField(QStringLiteral("vallalkozo_nev"));
    for (const char* text : {"u", "ut", "utca", "ut", "ő", ""}) {
        live.setSearchText(QString::fromUtf8(text));
        expectServerAnswer(QString::fromUtf8(text), QStringLiteral("vallalkozo_nev"));
    }
    const int key = list.fieldIndex(QStringLiteral("zomi"));
    const QString removed = list.textAt(7, key);
    c->exec(QStringLiteral("DELETE FROM zomi WHERE zomi = ") + removed);
    live.forget(removed);
    expectServerAnswer(QString(), QStringLiteral("vallalkozo_nev"));
    live.setSearchText(QStringLiteral("a"));
    expectServerAnswer(QStringLiteral("a"), QStringLiteral("vallalkozo_nev"));
    live.setSearchText(QString());
    for (const char* sort : {"datum", "vallalkozo_nev", "sorszamstr", "datum"}) {
        live.setSortField(QString::fromLatin1(sort));
        expectServerAnswer(QString(), QString::fromLatin1(sort));
        live.setSearchText(QStringLiteral("a"));
        expectServerAnswer(QStringLiteral("a"), QString::fromLatin1(sort));
        live.setSearchText(QString());
    }
}

// The sort keys must agree with the whole compare where the view's columns
// never go: signs, zeros, the unsigned range, texts of one length that differ
// beyond their eighth varying place, trailing blanks.
TEST(SortOrder, AgreesWithCompareCellsAndKeepsTheOrderOfEqualValues) {
    QByteArray weights(256, '\0');
    for (int i = 0; i < 256; ++i) weights[i] = static_cast<char>(std::toupper(i));
    const Collation collation = Collation::FromWeights(weights);
    std::vector<std::pair<FieldKind, std::vector<const char*>>> columns = {
        {FieldKind::LargeInt,
         {"-9223372036854775808", "9223372036854775807", "18446744073709551615",
          "9223372036854775808", "-1", "0", nullptr, "1", "-1"}},
        {FieldKind::Decimal, {"-0.5", "0.00", "-0.00", "1e3", "999.99", nullptr, "-1000", "0"}},
        {FieldKind::Time, {"-838:59:59", "-00:00:01", "00:00:00", "100:00:00", "09:59:59.5"}},
        {FieldKind::Text,
         {"abcdefghij", "abcdefghiJ", "ABCDEFGHIJ", "abcdefghia", "a", "a ", "A!", "", " ", nullptr,
          "ab", "abcdefgh"}},
        {FieldKind::Text, {"0000000000b", "1111111111a", "0000000000A", "0000000000a"}},
        {FieldKind::Date, {"2024-01-10", "2023-12-31", "2024-01-01", "2024-01-10", nullptr}},
    };
    // Columns of as many values as rows are sorted by keys, not by their
    // distinct values: the case forms and blanks of the texts above, each
    // with a number after it or not.
    std::vector<std::string> many;
    const std::vector<const char*>& texts = columns[3].second;
    for (size_t i = 0; i < 30000; ++i)
        many.push_back(std::string(texts[i % 9]) + (i % 3 ? std::to_string(i / 9) : ""));
    std::vector<const char*> manyCells;
    for (const std::string& m : many) manyCells.push_back(m.c_str());
    columns.push_back({FieldKind::Text, manyCells});
    // Few rows, and enough to be sorted in two halves on two cores.
    for (const size_t rowCount : {size_t{30}, size_t{210000}})
        for (const auto& [kind, values] : columns) {
            std::vector<const char*> cells;
            std::vector<unsigned long> lengths;
            for (size_t i = 0; i < rowCount; ++i) {
                cells.push_back(values[(i * 7) % values.size()]);
                lengths.push_back(cells.back() ? std::strlen(cells.back()) : 0);
            }
            PackedRows packed(1);
            for (size_t i = 0; i < cells.size(); ++i) packed.add(&cells[i], &lengths[i]);
            std::vector<RowRef> rows = packed.rows();
            std::vector<RowRef> sorted;
            for (const std::uint32_t place : SortOrder(collation, kind, 0, rows))
                sorted.push_back(rows[place]);
            rows = std::move(sorted);
            for (size_t i = 1; i < rows.size(); ++i) {
                const int c =
                    CompareCells(collation, kind, rows[i - 1].cell(0), rows[i - 1].length(0),
                                 rows[i].cell(0), rows[i].length(0));
                EXPECT_LE(c, 0) << (rows[i - 1].cell(0) ? rows[i - 1].cell(0) : "NULL") << " / "
                                << (rows[i].cell(0) ? rows[i].cell(0) : "NULL");
                if (c == 0) {
                    EXPECT_LT(rows[i - 1].place(), rows[i].place());  // stable
                }
            }
        }
}

TEST_F(LiveListTest, AnotherWorkstationsChangesReplaceTheRowsShownAndKeepTheCurrentOne) {
    openAll(QStringLiteral("sorszamstr"));
    live.setSearchText(QStringLiteral("utca"));
    // A row that the other workstation leaves in the list.
    int row = 20;
    while (list.textAt(row, list.fieldIndex(QStringLiteral("ktgh"))) == QStringLiteral("3") ||
           list.textAt(row, list.fieldIndex(QStringLiteral("sorszam"))).toInt() <= 2)
        ++row;
    list.moveTo(row);
    const QVariant current = list.value(QStringLiteral("zomi"));
    auto other = db.connect();
    other->exec(QStringLiteral("UPDATE ktgh SET cim = 'Tér nélküli' WHERE ktgh = 3"));  // Őr utca
    other->exec(QStringLiteral("DELETE FROM zomi WHERE sorszam IN (1, 2)"));
    other->exec(QStringLiteral(
        "INSERT INTO zomi (datum, sorszam, ktgh, statusz) VALUES ('2024-05-05', 999, 1, 1)"));
    live.setSearchText(QStringLiteral("utca "));  // the same words: still the rows in memory
    live.settle();
    expectServerAnswer(QStringLiteral("utca"), QStringLiteral("sorszamstr"));
    EXPECT_EQ(list.value(QStringLiteral("zomi")), current);
    // The rows in memory were fetched again: a shorter search is right at once.
    live.setSearchText(QStringLiteral("ut"));
    expectServerAnswer(QStringLiteral("ut"), QStringLiteral("sorszamstr"));
}

// What a digest of the rows could take for no change: a value moved into
// the NULL column beside it, two rows trading their values.
TEST_F(LiveListTest, TheServersCheckSeesValuesMovedBetweenColumnsAndRows) {
    c->exec(QStringLiteral("UPDATE zomi SET kiad_datum = '2024-02-02' WHERE sorszam = 5"));
    openAll(QStringLiteral("sorszamstr"));
    auto other = db.connect();
    const QString changes[] = {
        QStringLiteral("UPDATE zomi SET kiad_datum = NULL, hatar_datum = '2024-02-02' "
                       "WHERE sorszam = 5"),
        QStringLiteral("UPDATE zomi SET ktgh = IF(sorszam = 6, 8, 7) WHERE sorszam IN (6, 7)")};
    for (const QString& change : changes) {
        other->exec(change);
        // No word: the server is asked all the same.
        live.setSearchText(QStringLiteral(" "));
        live.settle();
        expectServerAnswer(QString(), QStringLiteral("sorszamstr"));
    }
}

TEST_F(LiveListTest, CurrentRowAndCountStayRightWhileRowsArrive) {
    openAll();
    std::vector<int> counts;
    QObject::connect(&list, &Dataset::afterScroll, [&] {
        EXPECT_EQ(list.currentRow() < 0, list.isEmpty());
        EXPECT_LT(list.currentRow(), list.recordCount());
    });
    QObject::connect(&list, &Dataset::rowsAppended, [&] {
        counts.push_back(list.recordCount());
        // The user moves as soon as the first screenful is there.
        if (counts.size() == 1) list.moveTo(42);
    });
    live.open(kAll, QString(), QStringLiteral("sorszamstr"));
    EXPECT_EQ(list.recordCount(), 0);  // rows of the earlier order are not left standing
    live.settle();
    ASSERT_GE(counts.size(), 2u);
    EXPECT_EQ(counts.back(), 320);
    EXPECT_EQ(list.currentRow(), 42);

    // A refresh keeps the row, by key, though a row before it went away.
    const QVariant key = list.value(QStringLiteral("zomi"));
    c->exec(QStringLiteral("DELETE FROM zomi WHERE sorszam = 1"));
    live.refresh();
    EXPECT_EQ(list.recordCount(), 320);  // the old rows until the new ones are in
    live.settle();
    EXPECT_EQ(list.recordCount(), 319);
    EXPECT_EQ(list.value(QStringLiteral("zomi")), key);
    EXPECT_EQ(list.currentRow(), 41);
}

TEST_F(LiveListTest, AStaleFetchIsStoppedAndAKilledSessionComesBackSetUp) {
    if (TestDatabase::onCluster())
        GTEST_SKIP() << "it holds a lock and reads a process list that only one node knows";
    // The first fetch waits for a lock the test holds; only stopping it lets
    // the second one run (a test that hangs here has lost that).
    auto holder = db.connect();
    holder->exec(QStringLiteral("DO GET_LOCK('zomi_live_list', 0)"));
    live.open(QStringLiteral("(GET_LOCK('zomi_live_list', 3600) IS NOT NULL)"), QString(),
              QStringLiteral("cim"));
    while (c->scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE "
                                    "INFO LIKE '%zomi_live_list'', 3600%' AND ID <> "
                                    "CONNECTION_ID()"))
               .text == QStringLiteral("0"))
        QThread::msleep(5);
    live.open(kAll, QString(), QStringLiteral("cim"));
    live.settle();
    EXPECT_EQ(list.recordCount(), 320);

    Query session(&connection);
    session.setSql(QStringList{
        QStringLiteral("SELECT * FROM (SELECT @@collation_connection AS c, @@sql_mode AS m) s"),
        QStringLiteral("WHERE (1=1)"), QStringLiteral("ORDER BY c;")});
    LiveList watch(&session, &connection);
    watch.open(kAll, QString(), QStringLiteral("c"));
    watch.settle();
    const unsigned long first = watch.fetcher().sessionId();
    test::KillSession(*c, first);
    watch.refresh();
    watch.settle();
    EXPECT_NE(watch.fetcher().sessionId(), first);
    ASSERT_EQ(session.recordCount(), 1);
    EXPECT_EQ(session.textAt(0, 0), QStringLiteral("latin2_hungarian_ci"));
    EXPECT_TRUE(session.textAt(0, 1).contains(QStringLiteral("STRICT_TRANS_TABLES")));
}

// The first screenful comes from a small query of its own while the whole
// list's rows are on their way: whatever is shown is the start of the
// server's answer, and the row the user moved to stays the current one when
// the list's own rows take the first screenful's place.
TEST_F(LiveListTest, TheFirstScreenfulsRowsAreTheStartOfTheListsAndKeepTheCurrentRow) {
    live.setFirstScreenfulQuery(true);
    // Rows leave the server slowly, in the key's order.
    live.open(QStringLiteral("(SLEEP(0.01 + zomi * 0) = 0)"), QString(), QStringLiteral("zomi"));
    const auto keys = [&] {
        const int key = list.fieldIndex(QStringLiteral("zomi"));
        QStringList k;
        for (const RowRef& r : list.rows())
            k << QString::fromLatin1(r.cell(key), static_cast<qsizetype>(r.length(key)));
        return k;
    };
    std::vector<QStringList> seen;
    QByteArray chosen;
    while (!live.isLoaded()) {
        QCoreApplication::processEvents();
        if (seen.empty() ? list.recordCount() > 0 : list.recordCount() != seen.back().size())
            seen.push_back(keys());
        if (chosen.isEmpty() && list.recordCount() >= 50) {
            list.moveTo(42);
            chosen = list.value(QStringLiteral("zomi")).toByteArray();
        }
        QThread::msleep(1);
    }
    const QStringList all = keys();
    ASSERT_EQ(all.size(), 320);
    for (const QStringList& shownThen : seen) EXPECT_EQ(shownThen, all.mid(0, shownThen.size()));
    EXPECT_EQ(list.value(QStringLiteral("zomi")).toByteArray(), chosen);
}

// A tab left and come back to shows its rows at once, in the order asked for
// then, and counts as loaded only when the server has answered for them:
// rows another workstation changed meanwhile give way to the server's, and
// an action waiting for the list sees those.
TEST_F(LiveListTest, ATabsKeptRowsShowAtOnceAndGiveWayToTheServersWhenStale) {
    const QString even = QStringLiteral("(zomi % 2 = 0)");
    const QString odd = QStringLiteral("(zomi % 2 = 1)");
    live.open(even, QString(), QStringLiteral("cim"));
    live.settle();
    const QStringList evenRows = shown();
    // Keys of the list's own rows: a cluster hands keys out in steps.
    const int key = list.fieldIndex(QStringLiteral("zomi"));
    const QString changed = list.textAt(1, key) + QLatin1Char(',') + list.textAt(40, key);
    const QString removed = list.textAt(8, key);
    live.open(odd, QString(), QStringLiteral("cim"));
    live.settle();

    // Unchanged: shown before the server is asked, and the same after.
    live.open(even, QString(), QStringLiteral("cim"));
    EXPECT_EQ(shown(), evenRows);
    EXPECT_FALSE(live.isLoaded());
    live.settle();
    EXPECT_EQ(shown(), evenRows);

    // Changed by another workstation while another tab was shown, and
    // ordered by another column on the way back.
    live.open(odd, QString(), QStringLiteral("cim"));
    live.settle();
    c->exec(
        QStringLiteral("UPDATE zomi SET ktgh = 1 + (ktgh % 11) WHERE zomi IN (%1)").arg(changed));
    c->exec(QStringLiteral("DELETE FROM zomi WHERE zomi = ") + removed);
    live.open(even, QString(), QStringLiteral("vallalkozo_nev"));
    EXPECT_EQ(list.recordCount(), evenRows.size());
    bool waited = false;
    live.whenLoaded([&] {
        waited = true;
        EXPECT_EQ(list.recordCount(), evenRows.size() - 1);
    });
    EXPECT_FALSE(waited);
    live.settle();
    while (!live.isLoaded()) live.settle();
    QCoreApplication::processEvents();
    EXPECT_TRUE(waited);
    expectServerAnswer(QString(), QStringLiteral("vallalkozo_nev"), even);

    // The program's own change, or F5, fetches anew.
    live.open(odd, QString(), QStringLiteral("cim"));
    live.settle();
    live.refresh();
    live.settle();
    live.open(even, QString(), QStringLiteral("cim"));
    EXPECT_EQ(list.recordCount(), 0);
    live.settle();
}

// The fetch's session killed while the rows come (a server restarted, a
// proxy's node lost): the list asks again on a new session, set up as
// before, and shows every row without an error.
TEST_F(LiveListTest, AFetchWhoseSessionIsKilledWhileRowsComeIsAskedAgain) {
    // In the key's order the rows leave the server one by one, slowly.
    live.open(QStringLiteral("(SLEEP(0.01 + zomi * 0) = 0)"), QString(), QStringLiteral("zomi"));
    while (list.recordCount() < 100) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    const unsigned long first = live.fetcher().sessionId();
    ASSERT_TRUE(live.fetcher().busy());
    test::KillSession(*c, first);
    live.settle();
    EXPECT_EQ(list.recordCount(), 320);
    EXPECT_NE(live.fetcher().sessionId(), first);
    EXPECT_TRUE(live.isLoaded());
}

TEST(ListFetcherKill, AStaleFetchNoKillReachesIsEndedByClosingItsSession) {
    if (TestDatabase::onCluster())
        GTEST_SKIP() << "it holds a lock and reads a process list that only one node knows";
    // On a cluster the fetch may run on another node, where its session id
    // is unknown: the fetch's own socket is closed instead.
    TestDatabase db;
    auto c = db.connect();
    auto holder = db.connect();
    holder->exec(QStringLiteral("DO GET_LOCK('zomi_stale_fetch', 0)"));
    ListFetcher fetcher;
    fetcher.setParams(db.params());
    int asked = 0;
    fetcher.setKiller([&](unsigned long, const QString&) {
        ++asked;
        return false;
    });
    fetcher.start(QStringLiteral("SELECT GET_LOCK('zomi_stale_fetch', 3600)"), {});
    while (c->scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE "
                                    "INFO LIKE '%zomi_stale_fetch'', 3600%' AND ID <> "
                                    "CONNECTION_ID()"))
               .text == QStringLiteral("0"))
        QThread::msleep(5);
    bool done = false;
    ListFetcher::Handlers handlers;
    handlers.done = [&](quint64) { done = true; };
    fetcher.start(QStringLiteral("SELECT 1"), handlers);
    fetcher.wait();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(done);
    fetcher.stop();
}

// A session id is a number of one server: on a cluster node the fetch's id
// may be another workstation's session, whose statement must run on.
TEST(ListFetcherKill, TheUsualKillerStopsOnlyASessionThatRunsTheFetch) {
    TestDatabase db;
    auto c = db.connect();
    auto otherWorkstation = db.connect();
    const unsigned long id = otherWorkstation->threadId();
    QString slept;
    std::thread working(
        [&] { slept = otherWorkstation->scalar(QStringLiteral("SELECT SLEEP(1)")).text; });
    // Well into its statement (on a cluster, perhaps on another node).
    QThread::msleep(300);
    const ListFetcher::Killer killer = ListFetcher::KillThrough([&] { return c.get(); });
    EXPECT_FALSE(killer(id, QStringLiteral("/* zomi-lista 0123456789abcdef-1 */ ")));
    working.join();
    EXPECT_EQ(slept, QStringLiteral("0")) << "the other workstation's statement was stopped";
}

}  // namespace
}  // namespace zomi::dbaccess

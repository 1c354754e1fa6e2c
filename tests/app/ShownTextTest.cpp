// What the register shows of text that anyone with the stock client can
// write into the database: the message panel's text and link and the status
// names of the summary are shown as text, and only web and mail links open.

#include <QDesktopServices>
#include <QLabel>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "app/Main.h"
#include "app/Startup.h"
#include "common/Beall.h"
#include "common/Settings.h"
#include "support/BoxRecorder.h"
#include "support/Installation.h"
#include "support/TestDatabase.h"

using namespace zomi;
using test::BoxRecorder;
using test::Installation;
using test::TestDatabase;

namespace {

const QString kMarkup =
    QStringLiteral("<b>Figyelem</b> <img src=/dev/zero> <a href=file:///tmp/evil.sh>katt</a>");

// Stands in for the desktop's opener: records what it was asked to open.
class Opener : public QObject {
    Q_OBJECT

  public:
    QList<QUrl> opened;

  public slots:
    void open(const QUrl& url) { opened << url; }
};

// A status name holds 50 characters.
const QString kShortMarkup = QStringLiteral("<b>F</b><img src=/dev/zero><a href=file:/x>a</a>");

QString quoted(QString text) {
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

}  // namespace

class ShownTextTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        Beall = TBeall();
        for (const char* scheme : {"file", "http", "https", "mailto", "smb"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &opener_, "open");
    }
    void cleanup() {
        for (const char* scheme : {"file", "http", "https", "mailto", "smb"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }

    void messageAndSummaryShowMarkupAsText();
    void onlyWebAndMailLinksOpen_data();
    void onlyWebAndMailLinksOpen();

  private:
    Opener opener_;
};

void ShownTextTest::messageAndSummaryShowMarkupAsText() {
    TestDatabase db(TestDatabase::Content::Demo);
    Installation installation(db);
    auto c = db.connect();
    // The demo's own messages are read: this one is the panel's.
    c->exec(QStringLiteral("UPDATE uzenet SET olvasva = 'I'"));
    c->exec(QStringLiteral("INSERT INTO uzenet (uzenet, szoveg, link, csakegyszer) VALUES "
                           "(900, %1, %1, 'N')")
                .arg(quoted(kMarkup)));
    c->exec(QStringLiteral("UPDATE statusz SET statusz_nev = %1 WHERE statusz = "
                           "(SELECT MIN(statusz) FROM zomi)")
                .arg(quoted(kShortMarkup)));
    BoxRecorder boxes;
    Tfrm_Main window;
    QVERIFY(window.startUp());
    window.settleList();
    window.show();

    auto* message = window.findChild<QLabel*>(QStringLiteral("LblUzenet"));
    auto* link = window.findChild<QLabel*>(QStringLiteral("LblUzLink"));
    auto* totals = window.findChild<QLabel*>(QStringLiteral("StatusPanel3"));
    QVERIFY(message && link && totals);
    QVERIFY(message->isVisible());
    for (QLabel* label : {message, link, totals}) {
        QCOMPARE(label->textFormat(), Qt::PlainText);
        const QString& written = label == totals ? kShortMarkup : kMarkup;
        QVERIFY2(label->text().contains(written), qPrintable(label->text()));
    }
    // Not a web link: shown as text, not offered as a link.
    QCOMPARE(link->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!link->font().underline());
    QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.lastText()));
}

void ShownTextTest::onlyWebAndMailLinksOpen_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("opens");
    QTest::newRow("file") << QStringLiteral("file:///tmp/evil.sh") << false;
    QTest::newRow("path") << QStringLiteral("/tmp/evil.sh") << false;
    QTest::newRow("share") << QStringLiteral("smb://gep/megosztas/x.exe") << false;
    QTest::newRow("markup") << kMarkup << false;
    QTest::newRow("https") << QStringLiteral("https://www.tarvelo.hu/hir") << true;
    QTest::newRow("http") << QStringLiteral("http://127.0.0.1:9/hir") << true;
    QTest::newRow("mailto") << QStringLiteral("mailto:iroda@example.com") << true;
}

void ShownTextTest::onlyWebAndMailLinksOpen() {
    QFETCH(QString, link);
    QFETCH(bool, opens);
    TestDatabase db(TestDatabase::Content::Demo);
    Installation installation(db);
    auto c = db.connect();
    c->exec(QStringLiteral("UPDATE uzenet SET olvasva = 'I'"));
    c->exec(QStringLiteral("INSERT INTO uzenet (uzenet, szoveg, link, csakegyszer) VALUES "
                           "(900, 'Hír', %1, 'N')")
                .arg(quoted(link)));
    BoxRecorder boxes;
    Tfrm_Main window;
    QVERIFY(window.startUp());
    window.settleList();
    window.show();
    auto* label = window.findChild<QLabel*>(QStringLiteral("LblUzLink"));
    QVERIFY(label && label->isVisible());
    QCOMPARE(label->text(), link);
    opener_.opened.clear();
    QTest::mouseClick(label, Qt::LeftButton);

    QCOMPARE(opener_.opened.size(), opens ? 1 : 0);
    QCOMPARE(label->cursor().shape(), opens ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (opens) {
        QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.lastText()));
    } else {
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY2(boxes.lastText().contains(QStringLiteral("http, https és mailto")),
                 qPrintable(boxes.lastText()));
        QVERIFY(boxes.lastText().endsWith(link));
    }
}

QTEST_MAIN(ShownTextTest)
#include "ShownTextTest.moc"

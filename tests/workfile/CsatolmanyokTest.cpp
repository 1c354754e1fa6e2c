#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "common/Beall.h"
#include "common/Settings.h"
#include "db/DbRoutines.h"
#include "db/WorkFileSchema.h"
#include "support/BoxRecorder.h"
#include "support/TestDatabase.h"
#include "workfile/AttachmentStore.h"
#include "workfile/Csatolmanyok.h"
#include "workfile/Elozmenyek.h"
#include "workfile/WorkFileStart.h"
#include "workorders/Szerkeszt.h"

using namespace zomi;
using zomi::test::BoxRecorder;
using zomi::test::TestDatabase;

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
}

QByteArray pngOfColour(const QColor& colour) {
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(colour);
    QPainter painter(&image);
    painter.fillRect(20, 20, 40, 30, Qt::white);
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

}  // namespace

class CsatolmanyokTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void editorShowsTheButtonsOnlyWhereTheDatabaseKeepsFiles();
    void filesDroppedOrAddedReachTheDatabaseAndABadOneIsTold();
    void filesOfANewWorkOrderWaitUntilItIsStored();
    void theOfferAtLoginIsAskedOnceAndTheUserStaysNamedAfterAReconnect();
    void windowsAsTheUserSeesThem();

  private:
    int firstOrder() { return QueryInt(QStringLiteral("SELECT MIN(zomi) FROM zomi;"), -1); }

    QTemporaryDir settingsDir_;
    QTemporaryDir files_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<dbaccess::Connection> connection_;
    std::unique_ptr<BoxRecorder> boxes_;
};

void CsatolmanyokTest::initTestCase() {
    QVERIFY(settingsDir_.isValid());
    SetSettingsPath(settingsDir_.filePath(QStringLiteral("Zomi.ini")));
    Beall.Afakulcs = 1.27;
    Beall.FontSize = 9;
    Beall.Felhasznalo = QStringLiteral("kovács");
}

void CsatolmanyokTest::init() {
    boxes_ = std::make_unique<BoxRecorder>();
    db_ = std::make_unique<TestDatabase>(TestDatabase::Content::Demo);
    connection_ = db_->connect();
    SetMainConnection(connection_.get());
}

void CsatolmanyokTest::cleanup() {
    SetMainConnection(nullptr);
    connection_.reset();
    db_.reset();
    boxes_.reset();
}

void CsatolmanyokTest::editorShowsTheButtonsOnlyWhereTheDatabaseKeepsFiles() {
    const int key = firstOrder();
    {
        Tfrm_Szerkeszt editor;
        QVERIFY(editor.open(key));
        editor.show();
        QVERIFY(!editor.btnCsatolmanyok->isVisible());
        QVERIFY(!editor.btnElozmenyek->isVisible());
        editor.reject();
        editor.finish();
    }
    InstallWorkFile(*connection_);
    StoreAttachment(*connection_, key, QStringLiteral("a.txt"), "a", Beall.Felhasznalo,
                    QStringLiteral("IRODA-3"));
    Tfrm_Szerkeszt editor;
    QVERIFY(editor.open(key));
    editor.show();
    QVERIFY(editor.btnCsatolmanyok->isVisible());
    QCOMPARE(editor.btnCsatolmanyok->text(), QStringLiteral("Csatolmányok (1)"));
    QVERIFY(editor.btnElozmenyek->isVisible() && editor.btnElozmenyek->isEnabled());
    // The fields stay where they were: the buttons stand under the picture.
    QVERIFY(editor.btnCsatolmanyok->geometry().top() > editor.Image1->geometry().bottom());
    QVERIFY(editor.btnCsatolmanyok->geometry().left() >= editor.DBMemo1->geometry().right());
    editor.reject();
    editor.finish();
}

void CsatolmanyokTest::filesDroppedOrAddedReachTheDatabaseAndABadOneIsTold() {
    InstallWorkFile(*connection_);
    const int key = firstOrder();
    Tfrm_Csatolmanyok window(connection_.get(), key, QStringLiteral("2026/00001"));
    window.show();
    const QString photo = writeFile(files_, QStringLiteral("kár fotó.png"), pngOfColour(Qt::red));
    const QString empty = writeFile(files_, QStringLiteral("üres.txt"), QByteArray());

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(photo)});
    window.addDropped(&mime);
    QCOMPARE(boxes_->texts(), QStringList());
    QCOMPARE(window.Lista->rowCount(), 1);
    QCOMPARE(window.Lista->item(0, 0)->text(), QStringLiteral("kár fotó.png"));
    QVERIFY(!window.Lista->item(0, 0)->icon().isNull());

    window.addFiles({empty, writeFile(files_, QStringLiteral("számla.txt"), "összeg: 100")});
    QCOMPARE(window.Lista->rowCount(), 2);
    QVERIFY(boxes_->texts().join(QLatin1Char('\n')).contains(QStringLiteral("üres")));
    QCOMPARE(AttachmentCount(*connection_, key), 2);

    // Deleting asks first, with No as the default, and removes only the chosen file.
    window.Lista->selectRow(1);
    boxes_->answers << true;
    window.deleteSelected();
    QCOMPARE(AttachmentCount(*connection_, key), 1);
    QCOMPARE(ListAttachments(*connection_, key).at(0).name, QStringLiteral("kár fotó.png"));
    const QString copy = files_.filePath(QStringLiteral("mentett.png"));
    window.Lista->selectRow(0);
    window.saveSelected(copy);
    QFile saved(copy);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), pngOfColour(Qt::red));
}

void CsatolmanyokTest::filesOfANewWorkOrderWaitUntilItIsStored() {
    InstallWorkFile(*connection_);
    Tfrm_Csatolmanyok window(connection_.get(), -1, QString());
    window.addFiles({writeFile(files_, QStringLiteral("ajánlat.txt"), "ajánlat")});
    window.addImage(QImage::fromData(pngOfColour(Qt::blue)));
    QCOMPARE(window.fileCount(), 2);
    QCOMPARE(QueryInt(QStringLiteral("SELECT COUNT(*) FROM zomi_csatolmany;"), -1), 0);
    const int key = firstOrder();
    QVERIFY(window.storePending(key));
    QCOMPARE(AttachmentCount(*connection_, key), 2);
    QCOMPARE(window.fileCount(), 2);
}

void CsatolmanyokTest::theOfferAtLoginIsAskedOnceAndTheUserStaysNamedAfterAReconnect() {
    Beall.VanBelep = true;
    Beall.Rendszergazda = false;
    StartWorkFileSession(*connection_, nullptr);
    QVERIFY(boxes_->shown.isEmpty());  // a clerk is never asked

    Beall.Rendszergazda = true;
    boxes_->answers << false;
    StartWorkFileSession(*connection_, nullptr);
    QCOMPARE(boxes_->shown.size(), 1);
    QVERIFY(boxes_->lastText().contains(QStringLiteral("zomi_elozmeny")));
    StartWorkFileSession(*connection_, nullptr);
    QCOMPARE(boxes_->shown.size(), 1);  // the refusal is remembered for this database
    QVERIFY(!ReadWorkFileState(*connection_).attachments);

    boxes_->answers << true << true;
    QVERIFY(OfferWorkFile(*connection_, nullptr));
    QVERIFY(ReadWorkFileState(*connection_).complete());

    // A session that replaces a killed one still names the user for the history.
    auto other = db_->connect();
    test::KillSession(*other, connection_->threadId());
    QTest::qWait(100);
    QCOMPARE(QueryText(QStringLiteral("SELECT @zomi_felhasznalo;"), QString()), Beall.Felhasznalo);
    Beall.VanBelep = false;
}

void CsatolmanyokTest::windowsAsTheUserSeesThem() {
    // Set ZOMI_SHOT_DIR to look at the editor with its two buttons and the
    // windows they open.
    const QString shotDir = QString::fromLocal8Bit(qgetenv("ZOMI_SHOT_DIR"));
    if (shotDir.isEmpty()) QSKIP("ZOMI_SHOT_DIR is not set");
    InstallWorkFile(*connection_);
    NameSessionUser(*connection_, Beall.Felhasznalo, QStringLiteral("IRODA-3"));
    const int key = firstOrder();
    ExecSql(QStringLiteral("UPDATE zomi SET munkadij1 = 14500, statusz = 2, hatar_datum = "
                           "'2026-12-20' WHERE zomi = %1;")
                .arg(key));
    ExecSql(QStringLiteral("UPDATE zomi SET munka = CONCAT(munka, ' (javítva)') WHERE zomi = %1;")
                .arg(key));
    StoreAttachment(*connection_, key, QStringLiteral("kár fotó.png"), pngOfColour(Qt::red),
                    Beall.Felhasznalo, QStringLiteral("IRODA-3"));
    StoreAttachment(*connection_, key, QStringLiteral("Számla 2026-118.pdf"),
                    QByteArray("%PDF-1.4\n") + QByteArray(180000, 'x'), Beall.Felhasznalo,
                    QStringLiteral("IRODA-3"));
    Tfrm_Szerkeszt editor;
    QVERIFY(editor.open(key));
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.grab().save(QDir(shotDir).filePath(QStringLiteral("szerkeszt-csatolmany.png")));
    Tfrm_Csatolmanyok files(connection_.get(), key, editor.Edit5->text());
    files.show();
    QVERIFY(QTest::qWaitForWindowExposed(&files));
    files.grab().save(QDir(shotDir).filePath(QStringLiteral("csatolmanyok.png")));
    Tfrm_Elozmenyek history(connection_.get(), key, editor.Edit5->text());
    history.show();
    QVERIFY(QTest::qWaitForWindowExposed(&history));
    history.grab().save(QDir(shotDir).filePath(QStringLiteral("elozmenyek.png")));
    editor.reject();
    editor.finish();
}

QTEST_MAIN(CsatolmanyokTest)
#include "CsatolmanyokTest.moc"

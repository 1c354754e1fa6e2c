// The connection-profile window and its edit window against the test server.

#include <QAction>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QToolButton>
#include <QtTest/QtTest>
#include <algorithm>

#include "common/IniFile.h"
#include "common/Settings.h"
#include "db/DataBackup.h"
#include "db/FullBackup.h"
#include "profiles/Adatbazisok.h"
#include "profiles/Adatbazisok_Szerkeszt.h"
#include "profiles/ProfileModel.h"
#include "support/SharedFolder.h"
#include "support/WindowTestSupport.h"
#include "ui/Boxes.h"
#include "ui/WindowHelpers.h"

using namespace zomi;
using namespace zomi::test;

namespace {

const QString kSection = QStringLiteral("Adatbazis");

QString profileText(const TestDatabase& db, const QString& name,
                    const QString& password = QString()) {
    const dbaccess::ConnectionParams p = db.params();
    return QStringList{p.database,
                       p.host,
                       QString::number(p.port),
                       p.user,
                       password.isNull() ? p.password : password,
                       name}
        .join(QLatin1Char(';'));
}

void store(int number, const QString& text) {
    WriteScrambledSetting(kSection, ProfileKey(number), text);
}

QStringList storedTexts() {
    QStringList texts;
    for (int n = 0; n <= 100; ++n)
        if (IniKeyExists(SettingsPath(), kSection, ProfileKey(n)))
            texts << QString::number(n) + QLatin1Char('=') +
                         ReadScrambledSetting(kSection, ProfileKey(n));
    return texts;
}

QStringList gridColumn(Tfrm_Adatbazis& window, ProfileColumn column) {
    QStringList values;
    for (int row = 0; row < window.TblModel->rowCount(); ++row)
        values << window.TblModel->index(row, static_cast<int>(column)).data().toString();
    return values;
}

// Answers the overwrite question the dialog is about to ask, keeping its text.
void answerOverwrite(QFileDialog* dialog, bool replace, QString& question, int attemptsLeft = 500) {
    QTimer::singleShot(10, dialog, [=, &question] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (attemptsLeft > 0) answerOverwrite(dialog, replace, question, attemptsLeft - 1);
            return;
        }
        question = box->text();
        box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
    });
}

QStringList focusChain(QWidget* start, int steps) {
    QStringList names;
    QWidget* w = start;
    for (int i = 0; i < steps; ++i) {
        names << w->objectName();
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(start->window()))
            w = w->nextInFocusChain();
    }
    return names;
}

}  // namespace

class AdatbazisokTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { fixture_ = std::make_unique<WindowFixture>(); }
    void cleanup() { fixture_.reset(); }

    void opensSortedByDisplayNameAndRenumbersOnClose() {
        const TestDatabase& db = fixture_->db;
        store(1, profileText(db, QStringLiteral("Zala")));
        store(2, profileText(db, QString()));
        store(75, profileText(db, QStringLiteral("Abony")));
        WriteSetting(kMysqlDump, QStringLiteral("/opt/mariadb-dump"));
        OnModal([&](QWidget* modal) {
            auto* window = As<Tfrm_Adatbazis>(modal);
            QCOMPARE(window->windowTitle(), QStringLiteral("Tárhelyek"));
            QCOMPARE(window->Label1->text(), QStringLiteral("Tárhelyek  "));
            QCOMPARE(window->font().pointSize(), 9);
            QCOMPARE(gridColumn(*window, ProfileColumn::AdatbazisNev),
                     (QStringList{"", "Abony", "Zala"}));
            QStringList titles;
            for (int c = 0; c < window->TblModel->columnCount(); ++c)
                titles
                    << window->TblModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            QCOMPARE(titles, (QStringList{"Megjelenített név", "Adatbázis / tárhely", "Kiszolgáló",
                                          "Port", "Felhasználó", "Verzió"}));
            QCOMPARE(window->TblModel->index(0, 0).data(Qt::BackgroundRole).value<QColor>(),
                     HighlightColor());
            QVERIFY(!window->TblModel->index(0, 1).data(Qt::BackgroundRole).isValid());
            QCOMPARE(window->Edit1->text(), QStringLiteral("/opt/mariadb-dump"));
            QVERIFY(!window->pMysqlDump->isVisible() && !window->ProgressBar1->isVisible());
            // Columns share the grid's width less 44 pixels.
            const int w = window->DBGrid1->width() - 44;
            QCOMPARE(window->DBGrid1->columnWidth(0), static_cast<int>(w * 0.30));
            QCOMPARE(window->DBGrid1->columnWidth(3), static_cast<int>(w * 0.10));
            window->Edit1->setText(QStringLiteral("/usr/bin/mysqldump"));
            QTest::keyClick(window->DBGrid1, Qt::Key_Escape);
        });
        ShowProfiles();
        const QStringList stored = storedTexts();
        QCOMPARE(stored.size(), 3);
        QVERIFY(stored[0].startsWith(QStringLiteral("1=")) &&
                stored[0].endsWith(QStringLiteral(";;")));
        QVERIFY(stored[1].startsWith(QStringLiteral("2=")) &&
                stored[1].endsWith(QStringLiteral(";Abony;")));
        QVERIFY(stored[2].startsWith(QStringLiteral("3=")) &&
                stored[2].endsWith(QStringLiteral(";Zala;")));
        QCOMPARE(ReadSetting(kMysqlDump), QStringLiteral("/usr/bin/mysqldump"));
    }

    void aNewProfileIsTypedStoredInItsPlaceAndACancelledOneLeavesNoRow() {
        Tfrm_Adatbazis window;
        window.setProfiles({ProfileFromText(QStringLiteral("a;h;3306;u;p;Közép"))});
        window.show();
        Activate(&window);

        OnModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QTest::keyClick(window.DBGrid1, Qt::Key_Insert);
        QCOMPARE(window.TblModel->rowCount(), 1);

        OnModal([&](QWidget* modal) {
            auto* edit = As<Tfrm_Adatbazis_Szerkeszt>(modal);
            QCOMPARE(edit->windowTitle(), QStringLiteral("Tárhely"));
            QCOMPARE(edit->DBEdit6->text(), QStringLiteral("3306"));
            QCOMPARE(focusChain(edit->DBEdit1, 9),
                     (QStringList{"DBEdit1", "DBEdit2", "DBEdit3", "DBEdit4", "DBEdit5", "DBEdit6",
                                  "btnOK", "btnMegsem", "SpeedButton1"}));
            QCOMPARE(QApplication::focusWidget(), edit->DBEdit1);
            QCOMPARE(edit->DBEdit1->palette().color(QPalette::Base), FocusColor());
            // Enter moves on box by box.
            for (const QString& text : {QStringLiteral("Audit;B"), QStringLiteral("db.example.hu"),
                                        QStringLiteral("eva"), QStringLiteral("tit;ok")}) {
                Type(QApplication::focusWidget(), text);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }
            QCOMPARE(QApplication::focusWidget(), edit->DBEdit5);
            QCOMPARE(edit->DBEdit4->echoMode(), QLineEdit::Password);
            edit->SpeedButton1->click();
            QCOMPARE(edit->DBEdit4->echoMode(), QLineEdit::Normal);
            QCOMPARE(QApplication::focusWidget(), edit->DBEdit4);
            Type(edit->DBEdit5, QStringLiteral("zomi"));

            // A ";" is refused, naming the field, and the window stays with what was typed.
            QTest::keyClick(edit->DBEdit5, Qt::Key_Return, Qt::ControlModifier);
            QVERIFY(edit->isVisible());
            QVERIFY2(fixture_->boxes.lastText().contains(QStringLiteral("\"Megjelenített név\"")),
                     qPrintable(fixture_->boxes.lastText()));
            QCOMPARE(QApplication::focusWidget(), edit->DBEdit1);
            edit->DBEdit1->setText(QStringLiteral("Audit"));
            QTest::keyClick(edit->DBEdit1, Qt::Key_Return, Qt::ControlModifier);
            QVERIFY(fixture_->boxes.lastText().contains(QStringLiteral("\"Jelszó\"")));
            edit->DBEdit4->setText(QStringLiteral("titok"));
            QTest::keyClick(edit->DBEdit4, Qt::Key_Return, Qt::ControlModifier);
            QVERIFY(!edit->isVisible());
        });
        QTest::keyClick(window.DBGrid1, Qt::Key_Insert);
        QCOMPARE(gridColumn(window, ProfileColumn::AdatbazisNev), (QStringList{"Audit", "Közép"}));
        QCOMPARE(window.currentRow(), 0);
        QCOMPARE(ProfileText(window.profiles().first()),
                 QStringLiteral("zomi;db.example.hu;3306;eva;titok;Audit;"));
    }

    void aProfileWithoutANameIsStoredOnlyOnceTheUserAgrees() {
        Tfrm_Adatbazis window;
        window.setProfiles({ProfileFromText(QStringLiteral("a;h;3306;u;p;Név"))});
        window.show();
        Activate(&window);
        OnModal([&](QWidget* modal) {
            auto* edit = As<Tfrm_Adatbazis_Szerkeszt>(modal);
            edit->DBEdit1->setText(QStringLiteral("  "));
            fixture_->boxes.answers << false;
            edit->btnOK->click();
            QVERIFY(edit->isVisible());
            QVERIFY2(fixture_->boxes.lastText().contains(QStringLiteral("nem kínál fel")),
                     qPrintable(fixture_->boxes.lastText()));
            QCOMPARE(QApplication::focusWidget(), edit->DBEdit1);
            fixture_->boxes.answers << true;
            edit->btnOK->click();
            QVERIFY(!edit->isVisible());
        });
        QTest::keyClick(window.DBGrid1, Qt::Key_F2);
        QCOMPARE(fixture_->boxes.shown.size(), 2);
        QCOMPARE(gridColumn(window, ProfileColumn::AdatbazisNev), QStringList{"  "});
    }

    void editAndDeleteWorkOnTheSelectedRow() {
        Tfrm_Adatbazis window;
        window.setProfiles({ProfileFromText(QStringLiteral("a;h;1;u;p;Első")),
                            ProfileFromText(QStringLiteral("b;h;2;u;p;Második"))});
        window.show();
        Activate(&window);
        OnModal([](QWidget* modal) {
            auto* edit = As<Tfrm_Adatbazis_Szerkeszt>(modal);
            edit->DBEdit1->setText(QStringLiteral("Új név"));
            edit->btnOK->click();
        });
        QTest::keyClick(window.DBGrid1, Qt::Key_F2);
        QCOMPARE(gridColumn(window, ProfileColumn::AdatbazisNev),
                 (QStringList{"Második", "Új név"}));
        QCOMPARE(window.currentRow(), 1);

        // A title click sorts by that column and marks it, keeping the row.
        window.DBGrid1->horizontalHeader()->sectionClicked(static_cast<int>(ProfileColumn::Port));
        QCOMPARE(gridColumn(window, ProfileColumn::Port), (QStringList{"1", "2"}));
        QCOMPARE(window.currentRow(), 0);
        QCOMPARE(window.TblModel->index(0, 3).data(Qt::BackgroundRole).value<QColor>(),
                 HighlightColor());
        QVERIFY(!window.TblModel->index(0, 0).data(Qt::BackgroundRole).isValid());

        fixture_->boxes.answers << false;
        QTest::keyClick(window.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(fixture_->boxes.lastText(),
                 QStringLiteral("Valóban töröljem az adatbázist a listából?"));
        QCOMPARE(fixture_->boxes.shown.last().caption, QStringLiteral("Megerősítés"));
        QCOMPARE(window.TblModel->rowCount(), 2);
        fixture_->boxes.answers << true;
        QTest::keyClick(window.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(gridColumn(window, ProfileColumn::AdatbazisNev), QStringList{"Második"});
    }

    void theTestShowsTheStructureVersionWhichIsNeverStored() {
        const TestDatabase& db = fixture_->db;
        Tfrm_Adatbazis window;
        window.setProfiles(
            {ProfileFromText(profileText(db, QStringLiteral("Jó"))),
             ProfileFromText(profileText(db, QStringLiteral("Rossz"), QStringLiteral("nem jó"))),
             ProfileFromText(QStringLiteral("zomi;127.0.0.1;9;zomi;zomi;Zárt port"))});
        window.show();
        Activate(&window);
        QTest::keyClick(window.DBGrid1, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(fixture_->boxes.lastText(), QStringLiteral("Kapcsolat vizsgálata sikeres"));
        QCOMPARE(gridColumn(window, ProfileColumn::Verzio), (QStringList{"2", "", ""}));
        QVERIFY(!window.Db1->isOpen());

        // An empty version table: success, and the version shown stays.
        fixture_->connection->exec(QStringLiteral("DELETE FROM verzio"));
        QTest::keyClick(window.DBGrid1, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(fixture_->boxes.shown.size(), 2);
        QCOMPARE(fixture_->boxes.lastText(), QStringLiteral("Kapcsolat vizsgálata sikeres"));
        QCOMPARE(gridColumn(window, ProfileColumn::Verzio), (QStringList{"2", "", ""}));

        // No version table: the server's message, no success.
        fixture_->connection->exec(QStringLiteral("DROP TABLE verzio"));
        QTest::keyClick(window.DBGrid1, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(fixture_->boxes.shown.last().kind, BoxKind::Error);
        QVERIFY(fixture_->boxes.lastText().contains(QStringLiteral("verzio")));

        // A failure names the server and port in Hungarian, then gives the server's text.
        window.selectRow(1);
        QTest::keyClick(window.DBGrid1, Qt::Key_T, Qt::ControlModifier);
        QVERIFY(fixture_->boxes.lastText().startsWith(
            QStringLiteral("Hiba: nem sikerült kapcsolódni a kiszolgálóhoz (gép: %1, port: %2).\n")
                .arg(db.params().host)
                .arg(db.params().port)));
        QVERIFY(fixture_->boxes.lastText().contains(QStringLiteral("Access denied")));
        window.selectRow(2);
        QTest::keyClick(window.DBGrid1, Qt::Key_T, Qt::ControlModifier);
        QVERIFY2(fixture_->boxes.lastText().startsWith(
                     QStringLiteral("Hiba: nem sikerült kapcsolódni a kiszolgálóhoz (gép: "
                                    "127.0.0.1, port: 9).\nCan't connect")),
                 qPrintable(fixture_->boxes.lastText()));

        // What is written back holds six fields and no version.
        for (const ConnectionProfile& p : window.profiles())
            QCOMPARE(ProfileText(p).count(QLatin1Char(';')), 6);
    }

    void aDataBackupChosenInTheDialogRunsWithTheBarShownAndTheWindowLocked() {
        const TestDatabase& db = fixture_->db;
        Tfrm_Adatbazis window;
        window.setProfiles({ProfileFromText(profileText(db, QStringLiteral("Demó")))});
        window.show();
        Activate(&window);
        QTemporaryDir dir;
        QString proposed;
        QStringList filters;
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Biztonsági mentés készítés"));
            filters = dialog->nameFilters();
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            proposed = name->text();
            name->setText(dir.filePath(QStringLiteral("mentes.zip")));
            QTest::keyClick(name, Qt::Key_Return);
        });
        QList<bool> lockedWhileRunning;
        connect(window.ProgressBar1, &QProgressBar::valueChanged, &window, [&] {
            lockedWhileRunning << (window.ProgressBar1->isVisible() &&
                                   !window.aBezar->isEnabled() && !window.aBackup->isEnabled() &&
                                   !window.aTeszt->isEnabled());
        });
        QTest::keyClick(window.DBGrid1, Qt::Key_F3);
        QCOMPARE(filters, (QStringList{"SQL file (*.sql)", "Tömörített SQL file (*.zip)"}));
        QVERIFY2(
            QRegularExpression(
                QStringLiteral("^%1-\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d-\\d\\d$").arg(db.name()))
                .match(proposed)
                .hasMatch(),
            qPrintable(proposed));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("mentes.zip"))));
        QVERIFY(!lockedWhileRunning.isEmpty() && !lockedWhileRunning.contains(false));
        QVERIFY(!window.ProgressBar1->isVisible() && window.aBezar->isEnabled());
        QVERIFY2(
            fixture_->boxes.lastText().startsWith(QStringLiteral("A biztonsági mentés elkészült")),
            qPrintable(fixture_->boxes.lastText()));
        QVERIFY(!window.Db1->isOpen());

        // The restore asks first, naming the database, with No as the default
        // answer, then reports the rows.
        fixture_->boxes.answers << false;
        window.RestoreFrom(dir.filePath(QStringLiteral("mentes.zip")));
        QVERIFY(
            fixture_->boxes.lastText().contains(QStringLiteral("\"%1\" adatbázis").arg(db.name())));
        QVERIFY(fixture_->boxes.lastText().contains(QStringLiteral("jelenlegi sorait")));
        QCOMPARE(fixture_->boxes.shown.last().value, QStringLiteral("Nem"));
        QVERIFY(!window.Db1->isOpen());
        fixture_->connection->exec(QStringLiteral("DELETE FROM zomi"));
        fixture_->boxes.answers << true;
        QList<int> bar;
        connect(window.ProgressBar1, &QProgressBar::valueChanged, &window, [&](int value) {
            if (window.ProgressBar1->isVisible()) bar << value;
        });
        window.RestoreFrom(dir.filePath(QStringLiteral("mentes.zip")));
        QVERIFY(!bar.isEmpty());
        QCOMPARE(bar.last(), 100);
        QVERIFY(std::is_sorted(bar.begin(), bar.end()));
        QVERIFY(!window.ProgressBar1->isVisible());
        const QString zomiRows =
            fixture_->connection->scalar(QStringLiteral("SELECT COUNT(*) FROM zomi")).text;
        QVERIFY(zomiRows.toInt() > 0);
        QVERIFY2(fixture_->boxes.lastText().contains(QStringLiteral("\nzomi: ") + zomiRows),
                 qPrintable(fixture_->boxes.lastText()));
    }

    void theSaveDialogAsksBeforeReplacingAFile() {
        Tfrm_Adatbazis window;
        window.setProfiles({ProfileFromText(profileText(fixture_->db, QStringLiteral("Demó")))});
        window.show();
        Activate(&window);
        QTemporaryDir dir;
        const QString existing = dir.filePath(QStringLiteral("mentes.sql"));
        {
            QFile file(existing);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("az előző mentés");
        }
        for (const bool replace : {false, true}) {
            Activate(&window);  // the platform does not hand it back after a dialog
            QString question;
            bool dialogStayed = false;
            WhenModal([&](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                QVERIFY(dialog);
                // The question is a box of its own over the dialog.
                answerOverwrite(dialog, replace, question);
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                name->setText(existing);
                // As "Mentés" does; Return would first go to the name completer.
                QMetaObject::invokeMethod(dialog, "accept");
                dialogStayed = dialog->isVisible();
            });
            QTest::keyClick(window.DBGrid1, Qt::Key_F3);
            QVERIFY2(question.contains(QStringLiteral("mentes.sql")), qPrintable(question));
            QCOMPARE(dialogStayed, !replace);
        }
        QFile file(existing);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("TRUNCATE "));
    }

    void aRestoreOfAFileThatIsNoDataBackupIsRefusedBeforeTheQuestion() {
        const TestDatabase& db = fixture_->db;
        TestDatabase empty(TestDatabase::Content::Empty);
        Tfrm_Adatbazis window;
        window.setProfiles({ProfileFromText(profileText(db, QStringLiteral("Demó"))),
                            ProfileFromText(profileText(empty, QStringLiteral("Üres")))});
        window.show();
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("teljes.sql"));
        {
            QFile script(file);
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(
                "-- MariaDB dump 10.19\n\nCREATE DATABASE `x`;\nUSE `x`;\nDROP TABLE IF "
                "EXISTS `zomi`;\n");
        }
        const QString before = TableDigests(*fixture_->connection);
        window.selectRow(0);
        window.RestoreFrom(file);
        QCOMPARE(fixture_->boxes.shown.size(), 1);
        QCOMPARE(fixture_->boxes.shown.last().kind, BoxKind::Error);
        QVERIFY2(fixture_->boxes.lastText().contains(QStringLiteral("teljes mentés")),
                 qPrintable(fixture_->boxes.lastText()));
        QVERIFY(fixture_->boxes.lastText().contains(QStringLiteral("nem változott")));
        QCOMPARE(TableDigests(*fixture_->connection), before);
        QVERIFY(!window.Db1->isOpen());

        // A database without tables: its structure comes first.
        QTemporaryDir backupDir;
        const QString backup = backupDir.filePath(QStringLiteral("adat.sql"));
        WriteDataBackup(*fixture_->connection, Progress{}, backup);
        window.selectRow(1);
        window.RestoreFrom(backup);
        QCOMPARE(fixture_->boxes.shown.size(), 2);
        QVERIFY2(fixture_->boxes.lastText().contains(QStringLiteral("szerkezetét")),
                 qPrintable(fixture_->boxes.lastText()));
    }

    void theFullBackupPanelRunsTheToolWhileTheWindowStaysUsable() {
        const TestDatabase& db = fixture_->db;
        Tfrm_Adatbazis window;
        window.setProfiles({ProfileFromText(profileText(db, QStringLiteral("Demó")))});
        window.resize(700, 480);
        window.show();
        Activate(&window);
        QTest::keyClick(window.DBGrid1, Qt::Key_F6);
        QVERIFY(window.pMysqlDump->isVisible());
        QCOMPARE(window.btnTeljesMentes->width(), window.width() - 30);
        QCOMPARE(window.Edit1->width(), window.width() - 63);
        QCOMPARE(window.btnTallozas->x(), window.Edit1->x() + window.Edit1->width());

        QTemporaryDir dir;
        QSignalSpy finished(window.Mentes, &FullBackup::finished);
        window.FullBackupTo(dir.filePath(QStringLiteral("teljes.sql")));
        QVERIFY(!window.aTeljesMentes->isEnabled() && !window.btnTeljesMentes->isEnabled());
        QVERIFY(window.lblTeljesMentes->isVisible());
        QVERIFY(window.aTeszt->isEnabled());  // the rest of the window is not held up
        QVERIFY(finished.wait(120000));
        QVERIFY2(fixture_->boxes.lastText().startsWith(QStringLiteral("A teljes mentés elkészült")),
                 qPrintable(fixture_->boxes.lastText()));
        QVERIFY(window.aTeljesMentes->isEnabled() && !window.lblTeljesMentes->isVisible());

        window.Edit1->setText(QStringLiteral("/nincs/ilyen/mysqldump"));
        window.FullBackupTo(dir.filePath(QStringLiteral("masik.sql")));
        QVERIFY(finished.wait(120000));
        QCOMPARE(fixture_->boxes.shown.last().kind, BoxKind::Error);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("masik.sql"))));

        QTest::keyClick(window.DBGrid1, Qt::Key_F6);
        QVERIFY(!window.pMysqlDump->isVisible());
    }

    void closingWhileAFullBackupRunsAsksFirstAndStoppingItLeavesNothing() {
        QTemporaryDir dir;
        const QString tool = dir.filePath(QStringLiteral("lassu-dump"));
        {
            QFile script(tool);
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\nexec sleep 60\n");
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner);
        }
        Tfrm_Adatbazis window;
        window.setProfiles({ProfileFromText(profileText(fixture_->db, QStringLiteral("Demó")))});
        window.Edit1->setText(tool);
        window.show();
        Activate(&window);
        QSignalSpy started(window.Mentes, &FullBackup::started);
        window.FullBackupTo(dir.filePath(QStringLiteral("teljes.sql")));
        QVERIFY(started.wait(10000));
        const QString partial = window.Mentes->partialFile();
        QVERIFY(QFile::exists(partial));

        fixture_->boxes.answers << false;
        QTest::keyClick(window.DBGrid1, Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QVERIFY(fixture_->boxes.lastText().contains(QStringLiteral("még fut")));
        fixture_->boxes.answers << true;
        QTest::keyClick(window.DBGrid1, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QVERIFY(!QFile::exists(partial));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("lassu-dump")});
    }

    // The box names the tool that really runs, and an empty box shows which
    // one that is.
    void theDumpToolIsNamedAsItRunsAndFoundOnThePath() {
        Tfrm_Adatbazis window;
        QCOMPARE(window.Label2->text(), QStringLiteral("mariadb-dump program helye"));
        QCOMPARE(window.Edit1->text(), QString());
        QCOMPARE(window.Edit1->placeholderText(),
                 QStandardPaths::findExecutable(QStringLiteral("mariadb-dump")));
    }

    // The shared settings file is one every member of its group may change:
    // a dump tool it names would get the password of whoever makes the next
    // full backup. ZOMI_TEST_SHARED_DIR names the installed package's folder.
    void aDumpToolNamedInTheSharedSettingsFileIsNotRun() {
        QTemporaryDir scratch;
        QString shared = qEnvironmentVariable("ZOMI_TEST_SHARED_DIR");
        if (shared.isEmpty()) {
            shared = scratch.filePath(QStringLiteral("zomi"));
            if (!MakeGroupShared(shared)) QSKIP("no folder of the group users can be made");
        }
        const QString marker = scratch.filePath(QStringLiteral("lefutott"));
        const QString tool = scratch.filePath(QStringLiteral("masok-dump"));
        {
            QFile script(tool);
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\ncat > '" + QFile::encodeName(marker) + "'\n");
        }
        SetMode(tool, 0700);
        const QString sharedIni = QDir(shared).filePath(QStringLiteral("Zomi.ini"));
        IniWriteString(sharedIni, QString::fromLatin1(kMysqlDump.section),
                       QString::fromLatin1(kMysqlDump.key), tool);
        qputenv("XDG_DATA_HOME", QFile::encodeName(scratch.filePath(QStringLiteral("own"))));
        SetSettingsPath(sharedIni);

        Tfrm_Adatbazis window;
        window.setProfiles({ProfileFromText(profileText(fixture_->db, QStringLiteral("Demó")))});
        window.show();
        Activate(&window);
        const QString shown = window.Edit1->text();
        QSignalSpy finished(window.Mentes, &FullBackup::finished);
        window.FullBackupTo(scratch.filePath(QStringLiteral("teljes.sql")));
        const bool ended = finished.wait(120000);
        QFile::remove(sharedIni);
        qunsetenv("XDG_DATA_HOME");
        SetSettingsPath(fixture_->settingsDir.filePath(QStringLiteral("Zomi.ini")));

        QCOMPARE(shown, QString());
        QVERIFY(ended);
        QVERIFY(!QFile::exists(marker));
        // The tool on the PATH made it instead.
        QVERIFY2(fixture_->boxes.lastText().startsWith(QStringLiteral("A teljes mentés elkészült")),
                 qPrintable(fixture_->boxes.lastText()));
    }

    // Set ZOMI_SHOT_DIR to look at a restore as the user sees it: the refusal
    // of a full backup over the window, and the bar at its end. The boxes are
    // real ones here, so it goes last.
    void restoreAsTheUserSeesIt() {
        const QString shotDir = QString::fromLocal8Bit(qgetenv("ZOMI_SHOT_DIR"));
        if (shotDir.isEmpty()) QSKIP("ZOMI_SHOT_DIR is not set");
        QTemporaryDir dir;
        const QString full = dir.filePath(QStringLiteral("teljes.sql"));
        {
            QFile script(full);
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("-- MariaDB dump 10.19\n\nUSE `zomi`;\nDROP TABLE IF EXISTS `zomi`;\n");
        }
        const QString backup = dir.filePath(QStringLiteral("adat.zip"));
        WriteDataBackup(*fixture_->connection, Progress{}, backup);
        SetBoxResponder({});
        Tfrm_Adatbazis window;
        window.setProfiles({ProfileFromText(profileText(fixture_->db, QStringLiteral("Demó")))});
        window.resize(760, 420);
        window.show();
        Activate(&window);
        window.selectRow(0);

        bool refusalShot = false;
        WhenModal([&](QWidget* box) {
            refusalShot = WindowWithBox(&window, box)
                              .save(shotDir + QStringLiteral("/visszaallitas_elutasitva.png"));
        });
        window.RestoreFrom(full);
        QVERIFY(refusalShot);

        bool barShot = false;
        connect(window.ProgressBar1, &QProgressBar::valueChanged, &window, [&](int value) {
            if (value == 100 && window.ProgressBar1->isVisible() && !barShot)
                barShot = window.grab().save(shotDir + QStringLiteral("/visszaallitas_100.png"));
        });
        bool doneShot = false;
        WhenModal([&](QWidget* question) {
            WhenModal([&](QWidget* box) {
                doneShot = WindowWithBox(&window, box)
                               .save(shotDir + QStringLiteral("/visszaallitas_kesz.png"));
            });
            qobject_cast<QMessageBox*>(question)->button(QMessageBox::Yes)->click();
        });
        window.RestoreFrom(backup);
        QVERIFY(barShot);
        QVERIFY(doneShot);
    }

  private:
    std::unique_ptr<WindowFixture> fixture_;
};

QTEST_MAIN(AdatbazisokTest)
#include "AdatbazisokTest.moc"

#pragma once

// Zomi's own tables beside the stock ones, for a work order's files and its
// change history: zomi_csatolmany (one row per attached file),
// zomi_csatolmany_resz (the file's bytes in pieces) and zomi_elozmeny (one
// row per changed column), and the three triggers on zomi that append to the
// history whatever program changes a work order. The Windows clients know
// none of them and need none: a database without them works as before.

#include <QString>
#include <QStringList>

namespace zomi::dbaccess {
class Connection;
}

namespace zomi {

extern const QString kAttachmentTable;       // zomi_csatolmany
extern const QString kAttachmentPieceTable;  // zomi_csatolmany_resz
extern const QString kHistoryTable;          // zomi_elozmeny

// The three tables, in the order they are created.
const QStringList& WorkFileTables();
bool IsWorkFileTable(const QString& table);

struct WorkFileState {
    bool attachments = false;  // both attachment tables exist
    bool history = false;      // the history table and its three triggers exist
    bool complete() const { return attachments && history; }
};

// The database's base tables without these: what a data backup writes and
// restores, in the format other programs read.
QStringList DataTables(dbaccess::Connection& connection);

// What the database has of them, read from the catalogue.
WorkFileState ReadWorkFileState(dbaccess::Connection& connection);

struct WorkFileInstall {
    WorkFileState state;
    // Empty when everything is in place; otherwise why the history could not
    // be added (a server account without the TRIGGER privilege), for the user.
    QString historyNote;
};

// Adds what is missing: the tables first, then the triggers. Errors creating
// a table reach the caller; a trigger the account may not create leaves the
// attachments in place and is told in historyNote.
WorkFileInstall InstallWorkFile(dbaccess::Connection& connection);

// The question an administrator is asked at login when the database has none
// of them, and the note after a refusal.
QString WorkFileOfferText();

// Names the Zomi user and workstation for the history triggers, for this
// session: other programs leave the two variables unset, and their changes
// are marked as made elsewhere. A data restore switches the triggers off for
// its session with kHistoryOff, as the restored rows are not new changes.
void NameSessionUser(dbaccess::Connection& connection, const QString& user, const QString& host);
extern const QString kHistoryOffVariable;  // @zomi_elozmeny_ki

// The statements that create the tables and the triggers, for the tests and
// the load tool that build a database of their own.
QStringList WorkFileTableStatements();
QStringList HistoryTriggerStatements();

}  // namespace zomi

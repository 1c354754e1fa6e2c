#pragma once

// A work order's change history as the triggers on zomi record it, read back
// into events (one statement's changes of one work order) with the editor's
// captions and display formats, and the work orders deleted since, for an
// administrator. Nothing here shows a window.

#include <QDateTime>
#include <QList>
#include <QString>

namespace zomi::dbaccess {
class Connection;
}

namespace zomi {

struct HistoryChange {
    QString column;
    QString caption;  // the editor's caption of the column
    QString oldText;  // as the editor shows the value; empty for none
    QString newText;
};

struct HistoryEvent {
    int workOrder = 0;
    QDateTime when;   // server time
    char action = 0;  // 'U' new, 'M' changed, 'T' deleted
    QString user;     // the Zomi user; empty for another program
    QString host;     // the Zomi workstation
    QString account;  // the server account and the host it came from
    QList<HistoryChange> changes;

    bool byOtherProgram() const { return user.isEmpty(); }
    QString actionText() const;  // "Létrehozás", "Módosítás", "Törlés"
    // "kovacs (IRODA-3)", or "más program: stock@10.0.0.5"
    QString whoText() const;
};

// The caption of a work-order column, as the editor labels it.
QString HistoryColumnCaption(const QString& column);

// The work order's history, newest first.
QList<HistoryEvent> ReadHistory(dbaccess::Connection& connection, int workOrder);

// A work order no longer in zomi whose history or files are kept.
struct DeletedWorkOrder {
    int key = 0;
    QString number;     // "2026/00012" from its last values; empty when unknown
    QDateTime deleted;  // when the history saw it deleted; invalid when it did not
    QString who;        // as HistoryEvent::whoText
    int files = 0;      // its attachments still stored
};

// Every such work order, the last deleted first; with a filter only those
// whose number holds it.
QList<DeletedWorkOrder> ReadDeletedWorkOrders(dbaccess::Connection& connection,
                                              const QString& numberFilter = QString());

// What the work order's history knows of its number, "2026/00012", or empty.
QString NumberFromValues(const QString& sorszam, const QString& datum);

}  // namespace zomi

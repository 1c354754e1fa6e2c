#pragma once

// The window of a work order's change history, newest first: each event
// (who, when, what kind) with its changed fields under it, old and new value
// in the editor's own captions and formats.

#include <QDialog>
#include <QList>

#include "workfile/WorkOrderHistory.h"

class QLabel;
class QTreeWidget;

namespace zomi::dbaccess {
class Connection;
}

namespace zomi {

// Fills the tree (columns: Időpont, Művelet, Ki, Mező, Régi érték, Új érték).
void ShowHistory(QTreeWidget* tree, const QList<HistoryEvent>& events);
QTreeWidget* NewHistoryTree(QWidget* parent);

class Tfrm_Elozmenyek : public QDialog {
    Q_OBJECT

  public:
    Tfrm_Elozmenyek(dbaccess::Connection* connection, int workOrder, const QString& number,
                    QWidget* parent = nullptr);

    QTreeWidget* Fa = nullptr;
    QLabel* Megjegyzes = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
};

}  // namespace zomi

#pragma once

// The window of a work order's change history, newest first: each event
// (who, when, what kind) with its changed fields under it, old and new value
// in the editor's own captions and formats.

#include <QList>

#include "ui/PlacedDialog.h"
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

class Tfrm_Elozmenyek : public PlacedDialog {
    Q_OBJECT

  public:
    Tfrm_Elozmenyek(dbaccess::Connection* connection, int workOrder, const QString& number,
                    QWidget* parent = nullptr);

    QTreeWidget* Fa = nullptr;
    QLabel* Megjegyzes = nullptr;
};

}  // namespace zomi

#pragma once

// The administrator's window of the work orders no longer in the register
// whose history or files are kept: searchable by serial number, with the
// selected one's history and its files (which the administrator may remove).

#include <QList>

#include "ui/PlacedDialog.h"
#include "workfile/WorkOrderHistory.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTreeWidget;

namespace zomi::dbaccess {
class Connection;
}

namespace zomi {

class Tfrm_ToroltMunkalapok : public PlacedDialog {
    Q_OBJECT

  public:
    explicit Tfrm_ToroltMunkalapok(dbaccess::Connection* connection, QWidget* parent = nullptr);

    void search();
    void openFiles();

    QLineEdit* Kereses = nullptr;
    QTableWidget* Lista = nullptr;
    QTreeWidget* Fa = nullptr;
    QPushButton* btnCsatolmanyok = nullptr;

  private:
    void showSelected();
    int selectedRow() const;

    dbaccess::Connection* connection_;
    QList<DeletedWorkOrder> orders_;
};

}  // namespace zomi

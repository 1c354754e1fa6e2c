#pragma once

// The work orders behind one figure of the cost summary: the bar or table
// row the user clicked, listed with their numbers, dates and amounts.

#include <QDialog>

#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"

class QLabel;
class QTableView;

namespace zomi::costreport {

class Tfrm_KoltsegMunkalapok : public QDialog {
    Q_OBJECT

  public:
    // sql: the list (OrdersSql); caption: the group it belongs to.
    Tfrm_KoltsegMunkalapok(const QString& sql, const QString& caption, QWidget* parent = nullptr);

    QTableView* DBGrid1 = nullptr;
    QLabel* Label1 = nullptr;  // how many, and their gross total

    dbaccess::Query& list() { return Qry; }

  protected:
    void done(int result) override;

  private:
    dbaccess::Query Qry;
    dbaccess::DatasetModel* model_ = nullptr;
};

// Opens the list modally.
void KoltsegMunkalapok(const QString& sql, const QString& caption, QWidget* owner);

}  // namespace zomi::costreport

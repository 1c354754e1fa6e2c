#pragma once

// The one-page work-order sheet "MUNKALAP": the work order with its joined
// names and the issuer's details, laid out for the report engine, and the
// operation that previews, prints or exports it.

#include <QStringList>
#include <memory>

#include "dbaccess/Dataset.h"
#include "report/Report.h"

namespace zomi {

class TqrZomi {
  public:
    // The connection must outlive the sheet.
    explicit TqrZomi(dbaccess::Connection* connection);
    ~TqrZomi();
    TqrZomi(const TqrZomi&) = delete;
    TqrZomi& operator=(const TqrZomi&) = delete;

    // The work-order query: one parameter, pzomi, the work order's key.
    static const QStringList kSql;

    // Loads the work order with that key (no row gives an empty page) and the
    // issuer. Database errors reach the caller.
    void open(int key);
    void close();

    report::Report& report() { return report_; }
    // The work order's display number, such as "2026/00042"; empty without a row.
    QString sorszam() const;

    std::unique_ptr<dbaccess::Query> QryZomi;
    std::unique_ptr<dbaccess::Table> TblTulajdonos;

  private:
    void buildSheet();

    report::Report report_;
};

// Hours and call-outs as the sheet prints them, the way a Hungarian reads a
// number whatever the workstation's locale: a whole number without decimals
// ("4"), a fraction with the decimal comma and up to three decimals without
// trailing zeros ("1,5", "0,25"), digit groups of three separated by a blank
// ("1 000").
QString QuantityText(double value);

// The file name the sheet is proposed to be saved under: the display number
// with the characters that no file name may hold made "_" ("2026/00042" gives
// "2026_00042.pdf"); "Munkalap.pdf" without a number.
QString PdfFileName(const QString& sorszam);

// Previews, prints, exports to the export window or saves as PDF the work
// order with that zomi key, as the user chooses in the print-choice window.
// Errors are shown, not thrown.
void MunkalapNyomtat(int key);

}  // namespace zomi

#include "costreport/KoltsegMunkalapok.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "common/AmountFormat.h"
#include "common/Beall.h"
#include "db/DbRoutines.h"
#include "ui/ErrorDisplay.h"
#include "ui/ListSearch.h"
#include "ui/WindowHelpers.h"

namespace zomi::costreport {

namespace {
const QString kSection = QStringLiteral("frm_KoltsegMunkalapok");
}

Tfrm_KoltsegMunkalapok::Tfrm_KoltsegMunkalapok(const QString& sql, const QString& caption,
                                               QWidget* parent)
    : QDialog(parent), Qry(MainConnection()) {
    setObjectName(kSection);
    setWindowTitle(QStringLiteral("Munkalapok – ") + caption);
    resize(760, 480);
    auto* column = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    column->addWidget(Label1);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    SetUpListGrid(DBGrid1);
    column->addWidget(DBGrid1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Bezár"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);

    Qry.setSql(sql);
    Qry.setKeyField(QStringLiteral("zomi"));
    Qry.open();
    const QStringList labels{
        QStringLiteral("Kód"),      QStringLiteral("Sorszám"),     QStringLiteral("Dátum"),
        QStringLiteral("Határidő"), QStringLiteral("Költséghely"), QStringLiteral("Vállalkozó"),
        QStringLiteral("Státusz"),  QStringLiteral("Nettó"),       QStringLiteral("Bruttó")};
    for (int c = 0; c < Qry.fieldCount() && c < labels.size(); ++c) Qry.field(c).label = labels[c];
    SetAmountFormats(Qry, false);
    model_ = new dbaccess::DatasetModel(&Qry, this);
    model_->setColumns({QStringLiteral("sorszamstr"), QStringLiteral("datum"),
                        QStringLiteral("hatar_datum"), QStringLiteral("cim"),
                        QStringLiteral("vallalkozo_nev"), QStringLiteral("statusz_nev"),
                        QStringLiteral("netto"), QStringLiteral("ossz")});
    DBGrid1->setModel(model_);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    double gross = 0;
    const int ossz = Qry.fieldIndex(QStringLiteral("ossz"));
    for (int r = 0; r < Qry.recordCount(); ++r)
        if (!Qry.isNullAt(r, ossz)) gross += Qry.valueAt(r, ossz).toDouble();
    Label1->setText(QStringLiteral("%1 munkalap, bruttó összesen: %2")
                        .arg(Qry.recordCount())
                        .arg(FormatAmount(gross, Beall.Format)));
    ApplyFontSize(this, Beall.FontSize);
    RestoreWindowPlacement(this, kSection);
}

void Tfrm_KoltsegMunkalapok::done(int result) {
    Guarded(this, [this] { StoreWindowPlacement(this, kSection); });
    QDialog::done(result);
}

void KoltsegMunkalapok(const QString& sql, const QString& caption, QWidget* owner) {
    Guarded(owner, [&] {
        Tfrm_KoltsegMunkalapok window(sql, caption, owner);
        window.exec();
    });
}

}  // namespace zomi::costreport

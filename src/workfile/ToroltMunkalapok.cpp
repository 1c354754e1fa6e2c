#include "workfile/ToroltMunkalapok.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/Beall.h"
#include "ui/ErrorDisplay.h"
#include "ui/WindowHelpers.h"
#include "workfile/Csatolmanyok.h"
#include "workfile/Elozmenyek.h"

namespace zomi {

namespace {
const QString kWindowName = QStringLiteral("frm_ToroltMunkalapok");
}

Tfrm_ToroltMunkalapok::Tfrm_ToroltMunkalapok(dbaccess::Connection* connection, QWidget* parent)
    : PlacedDialog(kWindowName, parent), connection_(connection) {
    setWindowTitle(QStringLiteral("Törölt munkalapok előzményei és csatolmányai"));

    Kereses = new QLineEdit(this);
    Kereses->setObjectName(QStringLiteral("Kereses"));
    Kereses->setPlaceholderText(QStringLiteral("sorszám, pl. 2026/00012 vagy 00012"));
    auto* label = new QLabel(QStringLiteral("&Sorszám:"), this);
    label->setBuddy(Kereses);

    Lista = new QTableWidget(0, 5, this);
    Lista->setObjectName(QStringLiteral("Lista"));
    Lista->setHorizontalHeaderLabels({QStringLiteral("Sorszám"), QStringLiteral("Kód"),
                                      QStringLiteral("Törölve"), QStringLiteral("Törölte"),
                                      QStringLiteral("Csatolmány")});
    Lista->setSelectionBehavior(QAbstractItemView::SelectRows);
    Lista->setSelectionMode(QAbstractItemView::SingleSelection);
    Lista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Lista->verticalHeader()->hide();
    Lista->horizontalHeader()->setStretchLastSection(true);
    Fa = NewHistoryTree(this);

    btnCsatolmanyok = new QPushButton(QStringLiteral("Csatolmányok..."), this);
    btnCsatolmanyok->setObjectName(QStringLiteral("btnCsatolmanyok"));
    auto* close = new QPushButton(QStringLiteral("Bezárás"), this);

    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(Kereses, 1);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(Lista);
    split->addWidget(Fa);
    split->setSizes({160, 260});
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnCsatolmanyok);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* root = new QVBoxLayout(this);
    root->addLayout(top);
    root->addWidget(split, 1);
    root->addLayout(buttons);
    resize(860, 520);

    auto* typing = new QTimer(this);
    typing->setSingleShot(true);
    typing->setInterval(250);
    connect(Kereses, &QLineEdit::textChanged, typing, qOverload<>(&QTimer::start));
    connect(typing, &QTimer::timeout, this, &Tfrm_ToroltMunkalapok::search);
    connect(Lista, &QTableWidget::itemSelectionChanged, this, &Tfrm_ToroltMunkalapok::showSelected);
    connect(btnCsatolmanyok, &QPushButton::clicked, this, &Tfrm_ToroltMunkalapok::openFiles);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    search();
}

int Tfrm_ToroltMunkalapok::selectedRow() const {
    const auto rows = Lista->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void Tfrm_ToroltMunkalapok::search() {
    QList<DeletedWorkOrder> found;
    if (!Guarded(this, [&] { found = ReadDeletedWorkOrders(*connection_, Kereses->text()); }))
        return;
    orders_ = found;
    Lista->setRowCount(0);
    for (int r = 0; r < orders_.size(); ++r) {
        const DeletedWorkOrder& order = orders_.at(r);
        Lista->insertRow(r);
        Lista->setItem(
            r, 0,
            new QTableWidgetItem(order.number.isEmpty() ? QStringLiteral("?") : order.number));
        Lista->setItem(r, 1, new QTableWidgetItem(QString::number(order.key)));
        Lista->setItem(
            r, 2,
            new QTableWidgetItem(order.deleted.isValid()
                                     ? order.deleted.toString(QStringLiteral("yyyy.MM.dd HH:mm"))
                                     : QStringLiteral("(más program, előzmény nélkül)")));
        Lista->setItem(r, 3, new QTableWidgetItem(order.who));
        Lista->setItem(r, 4, new QTableWidgetItem(QString::number(order.files)));
    }
    Lista->resizeColumnsToContents();
    if (orders_.isEmpty()) {
        Fa->clear();
        btnCsatolmanyok->setEnabled(false);
    } else {
        Lista->selectRow(0);
    }
}

void Tfrm_ToroltMunkalapok::showSelected() {
    const int row = selectedRow();
    btnCsatolmanyok->setEnabled(row >= 0 && orders_.at(row).files > 0);
    if (row < 0) return;
    QList<HistoryEvent> events;
    Guarded(this, [&] { events = ReadHistory(*connection_, orders_.at(row).key); });
    ShowHistory(Fa, events);
}

void Tfrm_ToroltMunkalapok::openFiles() {
    const int row = selectedRow();
    if (row < 0) return;
    const DeletedWorkOrder order = orders_.at(row);
    Tfrm_Csatolmanyok window(
        connection_, order.key,
        order.number.isEmpty() ? QStringLiteral("kód %1").arg(order.key) : order.number, this);
    window.allowAdding(false);
    window.exec();
    search();
}

}  // namespace zomi

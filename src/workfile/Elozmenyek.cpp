#include "workfile/Elozmenyek.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/Beall.h"
#include "ui/ErrorDisplay.h"
#include "ui/WindowHelpers.h"

namespace zomi {

namespace {
const QString kWindowName = QStringLiteral("frm_Elozmenyek");
}

QTreeWidget* NewHistoryTree(QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QStringLiteral("Fa"));
    tree->setColumnCount(6);
    tree->setHeaderLabels({QStringLiteral("Időpont"), QStringLiteral("Művelet"),
                           QStringLiteral("Ki"), QStringLiteral("Mező"),
                           QStringLiteral("Régi érték"), QStringLiteral("Új érték")});
    tree->setRootIsDecorated(true);
    tree->setUniformRowHeights(true);
    tree->setAlternatingRowColors(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    return tree;
}

void ShowHistory(QTreeWidget* tree, const QList<HistoryEvent>& events) {
    tree->clear();
    for (const HistoryEvent& event : events) {
        auto* top = new QTreeWidgetItem(tree);
        top->setText(0, event.when.toString(QStringLiteral("yyyy.MM.dd HH:mm:ss")));
        top->setText(1, event.actionText());
        top->setText(2, event.whoText());
        top->setText(3, QStringLiteral("%1 mező").arg(event.changes.size()));
        QFont bold = top->font(0);
        bold.setBold(true);
        for (int c = 0; c < 3; ++c) top->setFont(c, bold);
        for (const HistoryChange& change : event.changes) {
            auto* item = new QTreeWidgetItem(top);
            item->setText(3, change.caption);
            item->setText(4, change.oldText);
            item->setText(5, change.newText);
            item->setToolTip(4, change.oldText);
            item->setToolTip(5, change.newText);
        }
        top->setExpanded(true);
    }
    for (int c = 0; c < 6; ++c) tree->resizeColumnToContents(c);
    // A long job text stays readable in its tooltip.
    for (int c : {4, 5}) tree->setColumnWidth(c, std::min(tree->columnWidth(c), 280));
}

Tfrm_Elozmenyek::Tfrm_Elozmenyek(dbaccess::Connection* connection, int workOrder,
                                 const QString& number, QWidget* parent)
    : PlacedDialog(kWindowName, parent) {
    setWindowTitle(QStringLiteral("Előzmények – ") + number);
    Fa = NewHistoryTree(this);
    Megjegyzes = new QLabel(this);
    Megjegyzes->setWordWrap(true);
    auto* close = new QPushButton(QStringLiteral("Bezárás"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Megjegyzes, 1);
    buttons->addWidget(close);
    auto* root = new QVBoxLayout(this);
    root->addWidget(Fa);
    root->addLayout(buttons);
    resize(820, 440);

    QList<HistoryEvent> events;
    Guarded(this, [&] { events = ReadHistory(*connection, workOrder); });
    ShowHistory(Fa, events);
    Megjegyzes->setText(events.isEmpty()
                            ? QStringLiteral("Ennek a munkalapnak még nincs rögzített előzménye: "
                                             "a változások az előzmények bekapcsolása óta "
                                             "kerülnek ide.")
                            : QStringLiteral("%1 esemény, a legújabb elöl.").arg(events.size()));
}

}  // namespace zomi

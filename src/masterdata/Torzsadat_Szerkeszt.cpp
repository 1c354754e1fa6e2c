#include "masterdata/Torzsadat_Szerkeszt.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "ui/DbControls.h"
#include "ui/Pictures.h"

namespace zomi {

Tfrm_Torzsadat_Szerkeszt::Tfrm_Torzsadat_Szerkeszt(int key, const QString& table,
                                                   const QString& caption, QWidget* parent)
    : EditWindow(QStringLiteral("frm_Torzsadat_Szerkeszt"),
                 QStringLiteral("Hibás, vagy hiányos adatmegadás"), parent),
      table_(table) {
    setWindowTitle(caption);
    setFont(QFont(QStringLiteral("Segoe UI"), font().pointSize()));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(DecorPicture(Decor::LookupTable, 64));
    Image1->setFixedSize(64, 64);
    Label1 = new QLabel(caption, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    DBEdit1 = new DbEdit(table + QStringLiteral("_nev"), this);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    Label1->setBuddy(DBEdit1);
    setFieldLabel(DBEdit1->fieldName(), caption);
    DBText1 = new DbText(table, this);
    DBText1->setObjectName(QStringLiteral("DBText1"));
    QFont small = DBText1->font();
    small.setPixelSize(8);
    DBText1->setFont(small);
    DBText1->setAlignment(Qt::AlignRight | Qt::AlignTop);
    createButtons();

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 14, 14, 12);
    grid->setHorizontalSpacing(12);
    grid->addWidget(Image1, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(Label1, 0, 1);
    grid->addWidget(DBEdit1, 1, 1);
    grid->addWidget(DBText1, 2, 1);
    grid->setRowStretch(3, 1);
    grid->addLayout(buttonRow(), 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    setTabOrder(DBEdit1, btnOK);
    setTabOrder(btnOK, btnMegsem);
    finishControls(QSize(348, 187));

    Tbl = openRow(table, key);
    LoadControls(this, *Tbl);
    DBEdit1->setFocus();
}

Tfrm_Torzsadat_Szerkeszt::~Tfrm_Torzsadat_Szerkeszt() = default;

bool Tfrm_Torzsadat_Szerkeszt::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBEdit1 && event->type() == QEvent::KeyPress && DBEdit1->text().isEmpty()) {
        // Names start with a capital; only the plain letters are raised,
        // an accented first letter is kept as typed.
        auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        const bool plain =
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (plain && typed.size() == 1 && typed.at(0) >= QLatin1Char('a') &&
            typed.at(0) <= QLatin1Char('z')) {
            DBEdit1->insert(typed.toUpper());
            return true;
        }
    }
    return EditWindow::eventFilter(watched, event);
}

int Tfrm_Torzsadat_Szerkeszt::finish() { return finishWithKey(table_); }

int TorzsadatSzerkeszt(int key, const QString& table, const QString& caption, QWidget* parent) {
    Tfrm_Torzsadat_Szerkeszt window(key, table, caption, parent);
    window.exec();
    return window.finish();
}

}  // namespace zomi

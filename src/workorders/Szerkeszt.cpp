#include "workorders/Szerkeszt.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "common/Beall.h"
#include "common/Codepage.h"
#include "common/Text.h"
#include "db/DbRoutines.h"
#include "db/WorkFileSchema.h"
#include "dbaccess/Dataset.h"
#include "masterdata/TorzsKtgh.h"
#include "masterdata/TorzsVallalkozo.h"
#include "masterdata/Torzsadat.h"
#include "ui/Boxes.h"
#include "ui/DbControls.h"
#include "ui/ErrorDisplay.h"
#include "ui/FormLayout.h"
#include "ui/Pictures.h"
#include "ui/WindowHelpers.h"
#include "workfile/Csatolmanyok.h"
#include "workfile/Elozmenyek.h"
#include "workorders/AmountEdit.h"
#include "workorders/WorkOrderStore.h"

namespace zomi {

namespace {

const QString kWindowName = QStringLiteral("frm_Szerkeszt");
const QString kNotGiven = QStringLiteral("<nincs megadva>");
const QSize kDesignSize(819, 539);

// A picker whose column is empty shows a dash pattern instead of a date or
// time it would otherwise have to make up. The pattern stands on the
// picker's minimum, which is what a spin box shows its special text for.
const QDate kNoDate(1900, 1, 1);
const QString kNoDateText = QStringLiteral("----.--.--");
const QString kNoTimeText = QStringLiteral("--:--");

constexpr double kDesignPointSize = 9;

QString dateText(const QVariant& value) {
    return value.isNull() ? QString() : value.toDate().toString(QStringLiteral("yyyy.MM.dd"));
}

}  // namespace

Tfrm_Szerkeszt::Tfrm_Szerkeszt(QWidget* parent) : QDialog(parent) {
    setObjectName(kWindowName);
    setWindowTitle(QStringLiteral("Munkalap"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("Segoe UI"), 8));
    choosers_.contractor = [] { return VallalkozoLista(-1, true); };
    choosers_.site = [] { return KtghLista(-1, true); };
    choosers_.lookup = [](const QString& table, const QString& caption, QString* name) {
        return TorzsadatLista(-1, true, table, caption, name);
    };
    createControls();
}

Tfrm_Szerkeszt::~Tfrm_Szerkeszt() = default;

void Tfrm_Szerkeszt::createControls() {
    const QFont large(QStringLiteral("Arial"), 11, QFont::Bold);

    Edit5 = NameBox(QStringLiteral("Edit5"), this);
    Edit5->setFont(large);
    SetDesignWidth(Edit5, 150);
    DBEdit2 = NameBox(QStringLiteral("DBEdit2"), this);
    SetDesignWidth(DBEdit2, 90);
    DateTimePicker1 = new QTimeEdit(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setDisplayFormat(QStringLiteral("HH:mm"));
    SetDesignWidth(DateTimePicker1, 80);

    Edit2 = NameBox(QStringLiteral("Edit2"), this);
    SetDesignWidth(Edit2, 395);
    BitBtn2 = PictureButton(QStringLiteral("BitBtn2"), ChooserIcon(), this);
    BitBtn2->setToolTip(QStringLiteral("Költséghely választása"));
    Edit1 = NameBox(QStringLiteral("Edit1"), this);
    SetDesignWidth(Edit1, 395);
    BitBtn1 = PictureButton(QStringLiteral("BitBtn1"), ChooserIcon(), this);
    BitBtn1->setToolTip(QStringLiteral("Vállalkozó választása"));

    const auto datePicker = [this](const QString& name) {
        auto* picker = new QDateEdit(this);
        picker->setObjectName(name);
        picker->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
        picker->setCalendarPopup(true);
        picker->setMinimumDate(kNoDate);
        SetDesignWidth(picker, 110);
        return picker;
    };
    DateTimePicker2 = datePicker(QStringLiteral("DateTimePicker2"));
    DateTimePicker3 = datePicker(QStringLiteral("DateTimePicker3"));
    DBCheckBox1 = new QCheckBox(QStringLiteral("ÁFÁ-s?"), this);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    DBCheckBox1->setLayoutDirection(Qt::RightToLeft);

    Edit3 = NameBox(QStringLiteral("Edit3"), this);
    SetDesignWidth(Edit3, 176);
    BitBtn3 = PictureButton(QStringLiteral("BitBtn3"), ChooserIcon(), this);
    BitBtn3->setToolTip(QStringLiteral("Aláíró választása"));
    Edit4 = NameBox(QStringLiteral("Edit4"), this);
    SetDesignWidth(Edit4, 176);
    BitBtn8 = PictureButton(QStringLiteral("BitBtn8"), ChooserIcon(), this);
    BitBtn8->setToolTip(QStringLiteral("Státusz választása"));

    DBMemo1 = new QPlainTextEdit(this);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->setTabChangesFocus(true);
    SetDesignWidth(DBMemo1, 425, 113);

    const auto amount = [this](const QString& name, const QString& field, const QString& caption) {
        auto* box = new AmountEdit(field, caption, this);
        box->setObjectName(name);
        SetDesignWidth(box, 118);
        return box;
    };
    DBEdit5 = amount(QStringLiteral("DBEdit5"), QStringLiteral("munkadij1"),
                     QStringLiteral("Munkadíj (nettó)"));
    DBEdit6 = amount(QStringLiteral("DBEdit6"), QStringLiteral("munkadij2"), QStringLiteral("Óra"));
    BitBtn5 = PictureButton(QStringLiteral("BitBtn5"), ComputeIcon(), this);
    BitBtn5->setToolTip(QStringLiteral("Nettó munkadíj számítása"));
    DBEdit9 =
        amount(QStringLiteral("DBEdit9"), QStringLiteral("munkadij3"), QStringLiteral("Nettó"));
    DBEdit11 = amount(QStringLiteral("DBEdit11"), QStringLiteral("kiszdij1"),
                      QStringLiteral("Kiszállási díj (nettó)"));
    DBEdit12 =
        amount(QStringLiteral("DBEdit12"), QStringLiteral("kiszdij2"), QStringLiteral("Alkalom"));
    BitBtn6 = PictureButton(QStringLiteral("BitBtn6"), ComputeIcon(), this);
    BitBtn6->setToolTip(QStringLiteral("Nettó kiszállási díj számítása"));
    DBEdit13 =
        amount(QStringLiteral("DBEdit13"), QStringLiteral("kiszdij3"), QStringLiteral("Nettó"));
    DBEdit17 = amount(QStringLiteral("DBEdit17"), QStringLiteral("anyag3"),
                      QStringLiteral("Felh.anyag (nettó)"));
    BitBtn7 = PictureButton(QStringLiteral("BitBtn7"), ComputeIcon(), this);
    BitBtn7->setToolTip(QStringLiteral("Bruttó összegek és a vállalkozási díj számítása"));
    DBEdit15 = amount(QStringLiteral("DBEdit15"), QStringLiteral("ossz"),
                      QStringLiteral("Vállalkozási díj (bruttó)"));
    DBEdit15->setFont(large);
    SetDesignWidth(DBEdit15, 150);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Mégsem"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    for (QPushButton* button : {Button1, Button2}) button->setFixedSize(90, 27);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(WorkOrderPicture(128));
    Image1->setFixedSize(128, 128);

    btnCsatolmanyok = new QPushButton(QStringLiteral("Csatolmányok"), this);
    btnCsatolmanyok->setObjectName(QStringLiteral("btnCsatolmanyok"));
    btnElozmenyek = new QPushButton(QStringLiteral("Előzmények"), this);
    btnElozmenyek->setObjectName(QStringLiteral("btnElozmenyek"));
    for (QPushButton* button : {btnCsatolmanyok, btnElozmenyek}) {
        button->setFixedWidth(128);
        button->setAutoDefault(false);
        button->hide();
    }

    // Layout: the identification and the parties on the left, the picture
    // on the right, the job under them, then the fees and the buttons.
    auto* head = new QVBoxLayout;
    head->setSpacing(7);
    head->addLayout(RowOf({Labelled(QStringLiteral("Sorszám"), Edit5),
                           Labelled(QStringLiteral("Dátum"), DBEdit2),
                           Labelled(QStringLiteral("Idő"), DateTimePicker1)}));
    head->addLayout(Labelled(QStringLiteral("Költséghely"), Edit2, BitBtn2));
    head->addLayout(Labelled(QStringLiteral("Vállalkozó"), Edit1, BitBtn1));
    auto* dates = RowOf({Labelled(QStringLiteral("Kiadás dátum"), DateTimePicker2),
                         Labelled(QStringLiteral("Határidő"), DateTimePicker3)});
    dates->insertWidget(2, DBCheckBox1, 0, Qt::AlignBottom);
    head->addLayout(dates);
    head->addLayout(RowOf({Labelled(QStringLiteral("Aláírás"), Edit3, BitBtn3),
                           Labelled(QStringLiteral("Státusz"), Edit4, BitBtn8)}));
    head->addLayout(Labelled(QStringLiteral("Munka"), DBMemo1));

    auto* top = new QHBoxLayout;
    top->addLayout(head);
    top->addStretch();
    auto* side = new QVBoxLayout;
    side->addWidget(Image1, 0, Qt::AlignRight);
    side->addSpacing(12);
    side->addWidget(btnCsatolmanyok, 0, Qt::AlignRight);
    side->addWidget(btnElozmenyek, 0, Qt::AlignRight);
    side->addStretch();
    top->addLayout(side);

    auto* fees = new QGridLayout;
    fees->setHorizontalSpacing(10);
    fees->setVerticalSpacing(7);
    fees->addLayout(Labelled(QStringLiteral("Munkadíj (nettó)"), DBEdit5), 0, 0);
    fees->addLayout(Labelled(QStringLiteral("Óra"), DBEdit6), 0, 1);
    fees->addWidget(BitBtn5, 0, 2, Qt::AlignBottom);
    fees->addLayout(Labelled(QStringLiteral("Nettó"), DBEdit9), 0, 3);
    fees->addLayout(Labelled(QStringLiteral("Kiszállási díj (nettó)"), DBEdit11), 1, 0);
    fees->addLayout(Labelled(QStringLiteral("Alkalom"), DBEdit12), 1, 1);
    fees->addWidget(BitBtn6, 1, 2, Qt::AlignBottom);
    fees->addLayout(Labelled(QStringLiteral("Nettó"), DBEdit13), 1, 3);
    fees->addLayout(Labelled(QStringLiteral("Felh.anyag (nettó)"), DBEdit17), 2, 0);
    fees->addWidget(BitBtn7, 2, 2, Qt::AlignBottom);
    fees->addLayout(Labelled(QStringLiteral("Vállalkozási díj (bruttó)"), DBEdit15), 2, 3);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(fees);
    bottom->addStretch();
    bottom->addLayout(buttons);
    bottom->setAlignment(buttons, Qt::AlignBottom);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(16, 12, 16, 14);
    root->setSpacing(12);
    root->addLayout(top);
    root->addLayout(bottom);
    root->addStretch();

    const QList<QWidget*> tabOrder{
        DateTimePicker1, BitBtn2,  BitBtn1,  DateTimePicker2, DateTimePicker3, DBCheckBox1,
        BitBtn3,         BitBtn8,  DBMemo1,  DBEdit5,         DBEdit6,         BitBtn5,
        DBEdit9,         DBEdit11, DBEdit12, BitBtn6,         DBEdit13,        DBEdit17,
        BitBtn7,         DBEdit15, Button1,  Button2};
    for (qsizetype i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // Only the memo and the amount boxes take the focus colour, not the
    // pickers and the read-only name boxes.
    QList<QWidget*> coloured{DBMemo1};
    for (AmountEdit* box : amountBoxes()) coloured << box;
    EnableFocusColor(coloured);
    EnableEnterMovesFocus(this);
    // The window sees Enter before these controls do: a picker would take
    // Enter's Tab to its next section, a check box and the picture buttons
    // would hand Enter on to the dialog's default button.
    for (QWidget* control : std::initializer_list<QWidget*>{
             DateTimePicker1, DateTimePicker2, DateTimePicker3, DBCheckBox1, BitBtn1, BitBtn2,
             BitBtn3, BitBtn8, BitBtn5, BitBtn6, BitBtn7})
        control->installEventFilter(this);

    connect(BitBtn1, &QPushButton::clicked, this, &Tfrm_Szerkeszt::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &Tfrm_Szerkeszt::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &Tfrm_Szerkeszt::BitBtn3Click);
    connect(BitBtn8, &QPushButton::clicked, this, &Tfrm_Szerkeszt::BitBtn8Click);
    connect(BitBtn5, &QPushButton::clicked, this, &Tfrm_Szerkeszt::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &Tfrm_Szerkeszt::BitBtn6Click);
    connect(BitBtn7, &QPushButton::clicked, this, &Tfrm_Szerkeszt::BitBtn7Click);
    connect(Button1, &QPushButton::clicked, this, &Tfrm_Szerkeszt::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnCsatolmanyok, &QPushButton::clicked, this, &Tfrm_Szerkeszt::btnCsatolmanyokClick);
    connect(btnElozmenyek, &QPushButton::clicked, this, &Tfrm_Szerkeszt::btnElozmenyekClick);

    connect(DateTimePicker1, &QTimeEdit::timeChanged, this,
            [this] { pickerChanged(DateTimePicker1); });
    connect(DateTimePicker2, &QDateEdit::dateChanged, this,
            [this] { pickerChanged(DateTimePicker2); });
    connect(DateTimePicker3, &QDateEdit::dateChanged, this,
            [this] { pickerChanged(DateTimePicker3); });
    connect(DBCheckBox1, &QCheckBox::clicked, this, [this](bool checked) {
        // The greyed look was only for a value that is neither yes nor no;
        // once the user has decided, the box is a plain yes/no box.
        DBCheckBox1->setTristate(false);
        DBCheckBox1->setChecked(checked);
        Guarded(this, [&] {
            TblZomi->setValue(QStringLiteral("afas"),
                              checked ? QStringLiteral("I") : QStringLiteral("N"));
        });
    });
    connect(DBMemo1, &QPlainTextEdit::textChanged, this, [this] {
        if (loading_ || !TblZomi) return;
        if (KeepWithin(DBMemo1, TextColumnLength(*TblZomi, QStringLiteral("munka")))) return;
        const QString text = DBMemo1->toPlainText();
        Guarded(this, [&] {
            TblZomi->setValue(QStringLiteral("munka"),
                              text.isEmpty() ? QVariant() : QVariant(text));
        });
    });
}

QList<AmountEdit*> Tfrm_Szerkeszt::amountBoxes() const {
    return {DBEdit5, DBEdit6, DBEdit9, DBEdit11, DBEdit12, DBEdit13, DBEdit17, DBEdit15};
}

bool Tfrm_Szerkeszt::open(int key) {
    store_ = std::make_unique<WorkOrderStore>(MainConnection(), this);
    if (!store_->open(key)) {
        ErrorBox(
            QStringLiteral("A munkalap nem nyitható meg: időközben egy másik felhasználó törölte."),
            parentWidget());
        return false;
    }
    TblZomi = &store_->row();
    loadControls();
    showWorkFileButtons();
    return true;
}

void Tfrm_Szerkeszt::loadControls() {
    loading_ = true;
    const dbaccess::Dataset& row = *TblZomi;
    DBEdit2->setText(dateText(row.value(QStringLiteral("datum"))));
    loadPickers();
    loadNamesAndNumber();

    showAfas();

    // Another workstation's program may have stored Windows line breaks.
    QString munka = NullToText(row.value(QStringLiteral("munka")), QString());
    munka.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    DBMemo1->setPlainText(munka);

    for (AmountEdit* box : amountBoxes()) {
        box->bind(TblZomi);
        box->load();
    }
    loading_ = false;
}

void Tfrm_Szerkeszt::loadPickers() {
    const QVariant ido = TblZomi->value(QStringLiteral("ido"));
    DateTimePicker1->setSpecialValueText(ido.isNull() ? kNoTimeText : QString());
    DateTimePicker1->setTime(ido.isNull() ? DateTimePicker1->minimumTime() : ido.toTime());
    const auto loadDate = [this](QDateEdit* picker, const QString& column) {
        const QVariant value = TblZomi->value(column);
        picker->setSpecialValueText(value.isNull() ? kNoDateText : QString());
        picker->setDate(value.isNull() ? kNoDate : value.toDate());
    };
    loadDate(DateTimePicker2, QStringLiteral("kiad_datum"));
    loadDate(DateTimePicker3, QStringLiteral("hatar_datum"));
}

void Tfrm_Szerkeszt::showAfas() {
    // Neither "I" nor "N" (an empty flag, say) shows greyed: undecided.
    const QString afas = NullToText(TblZomi->value(QStringLiteral("afas")), QString());
    const bool decided = afas == QLatin1String("I") || afas == QLatin1String("N");
    DBCheckBox1->setTristate(!decided);
    DBCheckBox1->setCheckState(!decided                     ? Qt::PartiallyChecked
                               : afas == QLatin1String("I") ? Qt::Checked
                                                            : Qt::Unchecked);
}

QString Tfrm_Szerkeszt::nameOf(const QString& sql) const { return QueryText(sql, kNotGiven); }

void Tfrm_Szerkeszt::loadNamesAndNumber() {
    // In one round trip, which a branch office pays across its line. A key
    // that names no row gives NULL; a name that is NULL itself, "".
    const dbaccess::Dataset& row = *TblZomi;
    const auto name = [&row](const char* column, const char* table) {
        return QStringLiteral("(SELECT COALESCE(%1, '') FROM %2 WHERE %2=%3)")
            .arg(QLatin1String(column), QLatin1String(table),
                 IdText(row.value(QLatin1String(table))));
    };
    const QStringList columns{name("vallalkozo_nev", "vallalkozo"), name("cim", "ktgh"),
                              name("alairas_nev", "alairas"), name("statusz_nev", "statusz"),
                              store_->numberExpression()};
    const dbaccess::ResultSetPtr found = MainConnection()->query(
        QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(";"));
    const auto text = [&found](size_t c, const QString& none) {
        if (!found || found->rowCount() == 0 || found->row(0).isNull(c)) return none;
        return FromCp1250(found->row(0).cell(c), found->row(0).length(c));
    };
    Edit1->setText(text(0, kNotGiven));
    Edit2->setText(text(1, kNotGiven));
    Edit3->setText(text(2, kNotGiven));
    Edit4->setText(text(3, kNotGiven));
    Edit5->setText(text(4, QString()));
}

void Tfrm_Szerkeszt::showNumber() { Edit5->setText(store_->numberText()); }

void Tfrm_Szerkeszt::pickerChanged(QWidget* picker) {
    if (loading_ || !TblZomi) return;
    // A picker the user has set holds a real value from now on, and the
    // required-column check must see it: a work order stored without its
    // time or dates could otherwise never be confirmed.
    Guarded(this, [&] {
        if (picker == DateTimePicker1) {
            DateTimePicker1->setSpecialValueText(QString());
            TblZomi->setValue(QStringLiteral("ido"), DateTimePicker1->time());
        } else {
            auto* date = static_cast<QDateEdit*>(picker);
            date->setSpecialValueText(QString());
            TblZomi->setValue(picker == DateTimePicker2 ? QStringLiteral("kiad_datum")
                                                        : QStringLiteral("hatar_datum"),
                              date->date());
        }
    });
}

void Tfrm_Szerkeszt::reloadAmounts(std::initializer_list<AmountEdit*> boxes) {
    for (AmountEdit* box : boxes) box->load();
}

void Tfrm_Szerkeszt::BitBtn1Click() {
    Guarded(this, [&] {
        const int chosen = choosers_.contractor();
        if (chosen == -1) return;
        const QString name =
            nameOf(QStringLiteral("SELECT vallalkozo_nev FROM vallalkozo WHERE vallalkozo=") +
                   QString::number(chosen) + QStringLiteral(";"));
        store_->takeContractor(chosen, Beall.Afakulcs);
        Edit1->setText(name);
        showAfas();
        reloadAmounts({DBEdit5, DBEdit11});
    });
    DateTimePicker2->setFocus();
}

void Tfrm_Szerkeszt::BitBtn2Click() {
    Guarded(this, [&] {
        const int chosen = choosers_.site();
        if (chosen == -1) return;
        const QString address = nameOf(QStringLiteral("SELECT cim FROM ktgh WHERE ktgh=") +
                                       QString::number(chosen) + QStringLiteral(";"));
        TblZomi->setValue(QStringLiteral("ktgh"), chosen);
        Edit2->setText(address);
    });
    BitBtn1->setFocus();
}

void Tfrm_Szerkeszt::BitBtn3Click() {
    Guarded(this, [&] {
        QString name;
        const int chosen =
            choosers_.lookup(QStringLiteral("alairas"), QStringLiteral("Aláírás"), &name);
        if (chosen == -1) return;
        TblZomi->setValue(QStringLiteral("alairas"), chosen);
        Edit3->setText(name);
    });
    BitBtn8->setFocus();
}

void Tfrm_Szerkeszt::BitBtn8Click() {
    Guarded(this, [&] {
        QString name;
        const int chosen =
            choosers_.lookup(QStringLiteral("statusz"), QStringLiteral("Státusz"), &name);
        if (chosen == -1) return;
        TblZomi->setValue(QStringLiteral("statusz"), chosen);
        Edit4->setText(name);
    });
    DBEdit5->setFocus();
}

namespace {

// A compute button works only on operands that are numbers; a box holding
// something else is pointed out and keeps what was typed.
bool operandsHoldNumbers(std::initializer_list<AmountEdit*> boxes, QWidget* owner) {
    for (AmountEdit* box : boxes) {
        if (box->holdsNumber()) continue;
        ErrorBox(box->notANumberText(), owner);
        box->setFocus();
        return false;
    }
    return true;
}

}  // namespace

void Tfrm_Szerkeszt::BitBtn5Click() {
    if (!operandsHoldNumbers({DBEdit5, DBEdit6}, this)) return;
    Guarded(this, [&] {
        store_->computeNetLabourFee();
        reloadAmounts({DBEdit9});
    });
    DBEdit11->setFocus();
}

void Tfrm_Szerkeszt::BitBtn6Click() {
    if (!operandsHoldNumbers({DBEdit11, DBEdit12}, this)) return;
    Guarded(this, [&] {
        store_->computeNetCallOutFee();
        reloadAmounts({DBEdit13});
    });
    DBEdit17->setFocus();
}

void Tfrm_Szerkeszt::BitBtn7Click() {
    if (!operandsHoldNumbers({DBEdit9, DBEdit13, DBEdit17}, this)) return;
    Guarded(this, [&] {
        store_->computeGrossAndTotal(Beall.Afakulcs);
        reloadAmounts({DBEdit15});
    });
    Button1->setFocus();
}

bool Tfrm_Szerkeszt::requiredColumnsSet() {
    const RequiredColumn* missing = store_->firstMissingColumn();
    if (!missing) return true;
    ErrorBox(missing->message, this);
    if (QWidget* control = controlOfColumn(missing->column)) control->setFocus();
    return false;
}

QWidget* Tfrm_Szerkeszt::controlOfColumn(const QString& column) const {
    const std::pair<const char*, QWidget*> controls[] = {
        {"ido", DateTimePicker1},        {"vallalkozo", BitBtn1},          {"ktgh", BitBtn2},
        {"kiad_datum", DateTimePicker2}, {"hatar_datum", DateTimePicker3}, {"alairas", BitBtn3},
    };
    for (const auto& [name, control] : controls)
        if (column == QLatin1String(name)) return control;
    return nullptr;
}

bool Tfrm_Szerkeszt::typedValuesFit() {
    for (AmountEdit* box : amountBoxes()) {
        if (box->holdsNumber()) continue;
        ErrorBox(box->notANumberText(), this);
        box->setFocus();
        return false;
    }
    const int length = static_cast<int>(DBMemo1->toPlainText().size());
    if (length > kMaxJobLength) {
        ErrorBox(QStringLiteral("A munka leírása legfeljebb %1 karakter lehet, most %2 karakter. "
                                "Kérem, rövidítse le.")
                     .arg(kMaxJobLength)
                     .arg(length),
                 this);
        DBMemo1->setFocus();
        return false;
    }
    return true;
}

bool Tfrm_Szerkeszt::store() {
    const WorkOrderStore::StoreResult result = store_->store();
    switch (result.outcome) {
        case WorkOrderStore::Outcome::Stored:
            return true;
        case WorkOrderStore::Outcome::Renumbered:
            showNumber();
            WarningBox(StoreOutcomeText(result), this);
            return true;
        case WorkOrderStore::Outcome::DeletedMeanwhile:
        case WorkOrderStore::Outcome::ChangedMeanwhile:
            ErrorBox(StoreOutcomeText(result), this);
            return false;
    }
    return false;
}

void Tfrm_Szerkeszt::Button1Click() {
    bool stored = false;
    Guarded(this, [&] { stored = requiredColumnsSet() && typedValuesFit() && store(); });
    if (!stored) return;
    // The work order is stored: a file that fails now is told, and the
    // work order stays stored.
    if (pendingFiles_ && pendingFiles_->fileCount() > 0)
        pendingFiles_->storePending(NullToInt(TblZomi->value(QStringLiteral("zomi")), 0));
    accept();
}

void Tfrm_Szerkeszt::showWorkFileButtons() {
    WorkFileState state;
    Guarded(this, [&] { state = ReadWorkFileState(*MainConnection()); });
    btnCsatolmanyok->setVisible(state.attachments);
    btnElozmenyek->setVisible(state.history);
    btnElozmenyek->setEnabled(!store_->isNew());
    if (store_->isNew())
        btnElozmenyek->setToolTip(
            QStringLiteral("Az új munkalap előzményei a tárolása után láthatók."));
    if (state.attachments) {
        int count = 0;
        if (!store_->isNew())
            Guarded(this, [&] {
                count = AttachmentCount(*MainConnection(),
                                        NullToInt(TblZomi->value(QStringLiteral("zomi")), 0));
            });
        showFileCount(count);
    }
}

void Tfrm_Szerkeszt::showFileCount(int count) {
    btnCsatolmanyok->setText(count > 0 ? QStringLiteral("Csatolmányok (%1)").arg(count)
                                       : QStringLiteral("Csatolmányok"));
}

void Tfrm_Szerkeszt::btnCsatolmanyokClick() {
    if (store_->isNew()) {
        if (!pendingFiles_)
            pendingFiles_ =
                std::make_unique<Tfrm_Csatolmanyok>(MainConnection(), -1, Edit5->text(), this);
        pendingFiles_->exec();
        showFileCount(pendingFiles_->fileCount());
        return;
    }
    const int key = NullToInt(TblZomi->value(QStringLiteral("zomi")), 0);
    Tfrm_Csatolmanyok window(MainConnection(), key, Edit5->text(), this);
    window.exec();
    showFileCount(window.fileCount());
}

void Tfrm_Szerkeszt::btnElozmenyekClick() {
    if (store_->isNew()) return;
    Tfrm_Elozmenyek window(MainConnection(), NullToInt(TblZomi->value(QStringLiteral("zomi")), 0),
                           Edit5->text(), this);
    window.exec();
}

int Tfrm_Szerkeszt::finish() { return store_ ? store_->finish(result() == Accepted) : -1; }

void Tfrm_Szerkeszt::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        // The fixed control widths grow with the font before the window is fitted.
        ApplyFontSize(this, Beall.FontSize);
        FitDesignSizes(this, kDesignPointSize);
        FitOnFirstShow(this, Beall.FontSize, kDesignSize, kWindowName);
    }
    QDialog::showEvent(event);
}

void Tfrm_Szerkeszt::done(int result) {
    StoreWindowPos(this, kWindowName);
    QDialog::done(result);
}

bool Tfrm_Szerkeszt::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // A focused button is pressed by Enter, as everywhere else.
            if (auto* button = qobject_cast<QPushButton*>(watched)) {
                button->click();
            } else {
                focusNextChild();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int MunkalapSzerkeszt(int key) {
    QWidget* owner = QApplication::activeWindow();
    int stored = -1;
    Guarded(owner, [&] {
        Tfrm_Szerkeszt window(owner);
        if (!window.open(key)) return;
        window.exec();
        stored = window.finish();
    });
    return stored;
}

}  // namespace zomi

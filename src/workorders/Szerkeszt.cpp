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
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "common/Text.h"
#include "ui/Pictures.h"
#include "ui/WindowHelpers.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "masterdata/TorzsKtgh.h"
#include "masterdata/TorzsVallalkozo.h"
#include "masterdata/Torzsadat.h"
#include "workorders/AmountEdit.h"
#include "workorders/FeeCalculation.h"

namespace zomi {

using dbaccess::DbError;

namespace {

const QString kWindowName = QStringLiteral("frm_Szerkeszt");
const QString kNotGiven = QStringLiteral("<nincs megadva>");
const QSize kDesignSize(819, 539);
constexpr unsigned kDuplicateKey = 1062;

// A picker whose column is empty shows a dash pattern instead of a date or
// time it would otherwise have to make up. The pattern stands on the
// picker's minimum, which is what a spin box shows its special text for.
const QDate kNoDate(1900, 1, 1);
const QString kNoDateText = QStringLiteral("----.--.--");
const QString kNoTimeText = QStringLiteral("--:--");

const QString kDeletedText = QStringLiteral(
    "Ezt a munkalapot időközben egy másik felhasználó törölte, ezért a változtatások nem "
    "menthetők, és más munkalap sem változott meg.\nA beírt szöveget még kimásolhatja; "
    "utána zárja be az ablakot a „Mégsem” gombbal.");
const QString kChangedText = QStringLiteral(
    "Ezt a munkalapot időközben egy másik felhasználó módosította, ezért a változtatások nem "
    "menthetők.\nZárja be az ablakot a „Mégsem” gombbal, nyissa meg újra a munkalapot, és "
    "végezze el újra a módosítást.");

// The editor needs its one row only; the register may hold years of them.
class MunkalapTabla : public dbaccess::Table {
  public:
    MunkalapTabla(dbaccess::Connection* connection, int key, QObject* parent)
        : Table(connection, parent), key_(key) {
        setTableName(QStringLiteral("zomi"));
        setKeyField(QStringLiteral("zomi"));
    }

  protected:
    dbaccess::ResultSetPtr fetch() override {
        // No key may select a placeholder row: a new work order reads no row.
        const QString condition = key_ == -1 ? QStringLiteral("1 = 0")
                                             : QStringLiteral("zomi = ") + QString::number(key_);
        return connection()->query(QStringLiteral("SELECT * FROM zomi WHERE ") + condition);
    }

  private:
    int key_;
};

// Widths (and heights) are the design's at the design font; a larger font
// size makes them grow alike, so that dates and amounts still fit.
const char* const kDesignWidth = "designWidth";
const char* const kDesignHeight = "designHeight";
constexpr double kDesignPointSize = 9;

void setDesignWidth(QWidget* control, int width, int height = 0) {
    control->setProperty(kDesignWidth, width);
    control->setFixedWidth(width);
    if (height > 0) {
        control->setProperty(kDesignHeight, height);
        control->setFixedHeight(height);
    }
}

QPushButton* pictureButton(const QString& name, const QIcon& icon, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setFixedSize(25, 23);
    // The dialog's default look belongs to "OK", not to the first picture button.
    button->setAutoDefault(false);
    return button;
}

QLineEdit* nameBox(const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    return edit;
}

// A control under its label, with an optional button right of it.
QVBoxLayout* labelled(const QString& caption, QWidget* control, QWidget* button = nullptr) {
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    auto* label = new QLabel(caption, control->parentWidget());
    label->setBuddy(control);
    column->addWidget(label);
    auto* line = new QHBoxLayout;
    line->setSpacing(3);
    line->addWidget(control);
    if (button) line->addWidget(button);
    line->addStretch();
    column->addLayout(line);
    return column;
}

QHBoxLayout* rowOf(std::initializer_list<QLayout*> parts, int spacing = 14) {
    auto* row = new QHBoxLayout;
    row->setSpacing(spacing);
    for (QLayout* part : parts) row->addLayout(part);
    row->addStretch();
    return row;
}

QString dateText(const QVariant& value) {
    return value.isNull() ? QString() : value.toDate().toString(QStringLiteral("yyyy.MM.dd"));
}

Amount amountOf(const dbaccess::Dataset& row, const QString& column) {
    const QVariant value = row.value(column);
    return value.isNull() ? Amount() : Amount(NullToFloat(value, 0));
}

QVariant variantOf(Amount amount) { return amount ? QVariant(*amount) : QVariant(); }

}  // namespace

Tfrm_Szerkeszt::Tfrm_Szerkeszt(QWidget* parent) : QDialog(parent) {
    setObjectName(kWindowName);
    setWindowTitle(QStringLiteral("Munkalap"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("Segoe UI"), 8));
    chooseContractor = [] { return VallalkozoLista(-1, true); };
    chooseSite = [] { return KtghLista(-1, true); };
    chooseLookup = [](const QString& table, const QString& caption, QString* name) {
        return TorzsadatLista(-1, true, table, caption, name);
    };
    createControls();
}

Tfrm_Szerkeszt::~Tfrm_Szerkeszt() = default;

void Tfrm_Szerkeszt::createControls() {
    const QFont large(QStringLiteral("Arial"), 11, QFont::Bold);

    Edit5 = nameBox(QStringLiteral("Edit5"), this);
    Edit5->setFont(large);
    setDesignWidth(Edit5, 150);
    DBEdit2 = nameBox(QStringLiteral("DBEdit2"), this);
    setDesignWidth(DBEdit2, 90);
    DateTimePicker1 = new QTimeEdit(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setDisplayFormat(QStringLiteral("HH:mm"));
    setDesignWidth(DateTimePicker1, 80);

    Edit2 = nameBox(QStringLiteral("Edit2"), this);
    setDesignWidth(Edit2, 395);
    BitBtn2 = pictureButton(QStringLiteral("BitBtn2"), ChooserIcon(), this);
    BitBtn2->setToolTip(QStringLiteral("Költséghely választása"));
    Edit1 = nameBox(QStringLiteral("Edit1"), this);
    setDesignWidth(Edit1, 395);
    BitBtn1 = pictureButton(QStringLiteral("BitBtn1"), ChooserIcon(), this);
    BitBtn1->setToolTip(QStringLiteral("Vállalkozó választása"));

    const auto datePicker = [this](const QString& name) {
        auto* picker = new QDateEdit(this);
        picker->setObjectName(name);
        picker->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
        picker->setCalendarPopup(true);
        picker->setMinimumDate(kNoDate);
        setDesignWidth(picker, 110);
        return picker;
    };
    DateTimePicker2 = datePicker(QStringLiteral("DateTimePicker2"));
    DateTimePicker3 = datePicker(QStringLiteral("DateTimePicker3"));
    DBCheckBox1 = new QCheckBox(QStringLiteral("ÁFÁ-s?"), this);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    DBCheckBox1->setLayoutDirection(Qt::RightToLeft);

    Edit3 = nameBox(QStringLiteral("Edit3"), this);
    setDesignWidth(Edit3, 176);
    BitBtn3 = pictureButton(QStringLiteral("BitBtn3"), ChooserIcon(), this);
    BitBtn3->setToolTip(QStringLiteral("Aláíró választása"));
    Edit4 = nameBox(QStringLiteral("Edit4"), this);
    setDesignWidth(Edit4, 176);
    BitBtn8 = pictureButton(QStringLiteral("BitBtn8"), ChooserIcon(), this);
    BitBtn8->setToolTip(QStringLiteral("Státusz választása"));

    DBMemo1 = new QPlainTextEdit(this);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBMemo1->setTabChangesFocus(true);
    setDesignWidth(DBMemo1, 425, 113);

    const auto amount = [this](const QString& name, const QString& field, const QString& caption) {
        auto* box = new AmountEdit(field, caption, this);
        box->setObjectName(name);
        setDesignWidth(box, 118);
        return box;
    };
    DBEdit5 = amount(QStringLiteral("DBEdit5"), QStringLiteral("munkadij1"),
                     QStringLiteral("Munkadíj (nettó)"));
    DBEdit6 = amount(QStringLiteral("DBEdit6"), QStringLiteral("munkadij2"), QStringLiteral("Óra"));
    BitBtn5 = pictureButton(QStringLiteral("BitBtn5"), ComputeIcon(), this);
    BitBtn5->setToolTip(QStringLiteral("Nettó munkadíj számítása"));
    DBEdit9 =
        amount(QStringLiteral("DBEdit9"), QStringLiteral("munkadij3"), QStringLiteral("Nettó"));
    DBEdit11 = amount(QStringLiteral("DBEdit11"), QStringLiteral("kiszdij1"),
                      QStringLiteral("Kiszállási díj (nettó)"));
    DBEdit12 =
        amount(QStringLiteral("DBEdit12"), QStringLiteral("kiszdij2"), QStringLiteral("Alkalom"));
    BitBtn6 = pictureButton(QStringLiteral("BitBtn6"), ComputeIcon(), this);
    BitBtn6->setToolTip(QStringLiteral("Nettó kiszállási díj számítása"));
    DBEdit13 =
        amount(QStringLiteral("DBEdit13"), QStringLiteral("kiszdij3"), QStringLiteral("Nettó"));
    DBEdit17 = amount(QStringLiteral("DBEdit17"), QStringLiteral("anyag3"),
                      QStringLiteral("Felh.anyag (nettó)"));
    BitBtn7 = pictureButton(QStringLiteral("BitBtn7"), ComputeIcon(), this);
    BitBtn7->setToolTip(QStringLiteral("Bruttó összegek és a vállalkozási díj számítása"));
    DBEdit15 = amount(QStringLiteral("DBEdit15"), QStringLiteral("ossz"),
                      QStringLiteral("Vállalkozási díj (bruttó)"));
    DBEdit15->setFont(large);
    setDesignWidth(DBEdit15, 150);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Mégsem"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    for (QPushButton* button : {Button1, Button2}) button->setFixedSize(90, 27);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(WorkOrderPicture(128));
    Image1->setFixedSize(128, 128);

    // Layout: the identification and the parties on the left, the picture
    // on the right, the job under them, then the fees and the buttons.
    auto* head = new QVBoxLayout;
    head->setSpacing(7);
    head->addLayout(rowOf({labelled(QStringLiteral("Sorszám"), Edit5),
                           labelled(QStringLiteral("Dátum"), DBEdit2),
                           labelled(QStringLiteral("Idő"), DateTimePicker1)}));
    head->addLayout(labelled(QStringLiteral("Költséghely"), Edit2, BitBtn2));
    head->addLayout(labelled(QStringLiteral("Vállalkozó"), Edit1, BitBtn1));
    auto* dates = rowOf({labelled(QStringLiteral("Kiadás dátum"), DateTimePicker2),
                         labelled(QStringLiteral("Határidő"), DateTimePicker3)});
    dates->insertWidget(2, DBCheckBox1, 0, Qt::AlignBottom);
    head->addLayout(dates);
    head->addLayout(rowOf({labelled(QStringLiteral("Aláírás"), Edit3, BitBtn3),
                           labelled(QStringLiteral("Státusz"), Edit4, BitBtn8)}));
    head->addLayout(labelled(QStringLiteral("Munka"), DBMemo1));

    auto* top = new QHBoxLayout;
    top->addLayout(head);
    top->addStretch();
    top->addWidget(Image1, 0, Qt::AlignTop | Qt::AlignRight);

    auto* fees = new QGridLayout;
    fees->setHorizontalSpacing(10);
    fees->setVerticalSpacing(7);
    fees->addLayout(labelled(QStringLiteral("Munkadíj (nettó)"), DBEdit5), 0, 0);
    fees->addLayout(labelled(QStringLiteral("Óra"), DBEdit6), 0, 1);
    fees->addWidget(BitBtn5, 0, 2, Qt::AlignBottom);
    fees->addLayout(labelled(QStringLiteral("Nettó"), DBEdit9), 0, 3);
    fees->addLayout(labelled(QStringLiteral("Kiszállási díj (nettó)"), DBEdit11), 1, 0);
    fees->addLayout(labelled(QStringLiteral("Alkalom"), DBEdit12), 1, 1);
    fees->addWidget(BitBtn6, 1, 2, Qt::AlignBottom);
    fees->addLayout(labelled(QStringLiteral("Nettó"), DBEdit13), 1, 3);
    fees->addLayout(labelled(QStringLiteral("Felh.anyag (nettó)"), DBEdit17), 2, 0);
    fees->addWidget(BitBtn7, 2, 2, Qt::AlignBottom);
    fees->addLayout(labelled(QStringLiteral("Vállalkozási díj (bruttó)"), DBEdit15), 2, 3);

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
    key_ = key;
    TblZomi = new MunkalapTabla(MainConnection(), key, this);
    TblZomi->setObjectName(QStringLiteral("TblZomi"));
    TblZomi->open();
    if (key == -1) {
        TblZomi->append();
        const QDate today = QDate::currentDate();
        const QTime now = QTime::currentTime();
        TblZomi->setValue(QStringLiteral("datum"), today);
        TblZomi->setValue(QStringLiteral("ido"), QTime(now.hour(), now.minute(), now.second()));
        TblZomi->setValue(QStringLiteral("kiad_datum"), today);
        TblZomi->setValue(QStringLiteral("hatar_datum"), today);
        TblZomi->setValue(QStringLiteral("statusz"), 1);
        const QString year = QString::number(ServerDate().date().year());
        TblZomi->setValue(
            QStringLiteral("sorszam"),
            QueryInt(QStringLiteral("SELECT MAX(sorszam) FROM zomi WHERE YEAR(datum) = ") + year +
                         QStringLiteral(";"),
                     0) +
                1);
    } else {
        if (TblZomi->isEmpty()) {
            ErrorBox(QStringLiteral(
                         "A munkalap nem nyitható meg: időközben egy másik felhasználó törölte."),
                     parentWidget());
            return false;
        }
        TblZomi->edit();
    }
    loadControls();
    return true;
}

void Tfrm_Szerkeszt::loadControls() {
    loading_ = true;
    const dbaccess::Dataset& row = *TblZomi;
    DBEdit2->setText(dateText(row.value(QStringLiteral("datum"))));
    loadPickers();
    Edit1->setText(
        nameOf(QStringLiteral("SELECT vallalkozo_nev FROM vallalkozo WHERE vallalkozo=") +
               IdText(row.value(QStringLiteral("vallalkozo"))) + QStringLiteral(";")));
    Edit2->setText(nameOf(QStringLiteral("SELECT cim FROM ktgh WHERE ktgh=") +
                          IdText(row.value(QStringLiteral("ktgh"))) + QStringLiteral(";")));
    Edit3->setText(nameOf(QStringLiteral("SELECT alairas_nev FROM alairas WHERE alairas=") +
                          IdText(row.value(QStringLiteral("alairas"))) + QStringLiteral(";")));
    Edit4->setText(nameOf(QStringLiteral("SELECT statusz_nev FROM statusz WHERE statusz=") +
                          IdText(row.value(QStringLiteral("statusz"))) + QStringLiteral(";")));
    showNumber();

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

QString Tfrm_Szerkeszt::numberText() const {
    const QVariant datum = TblZomi->value(QStringLiteral("datum"));
    // Without a date the function shows its own "no year" form.
    const QString year =
        datum.isNull() ? QStringLiteral("NULL") : QString::number(datum.toDate().year());
    return QueryText(QStringLiteral("SELECT fn_sorszamstr(") +
                         IdText(TblZomi->value(QStringLiteral("sorszam"))) + QStringLiteral(", ") +
                         year + QStringLiteral(");"),
                     QString());
}

void Tfrm_Szerkeszt::showNumber() { Edit5->setText(numberText()); }

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
        const int chosen = chooseContractor();
        if (chosen == -1) return;
        const QString k = QString::number(chosen);
        const QString where =
            QStringLiteral(" FROM vallalkozo WHERE vallalkozo=") + k + QStringLiteral(";");
        // Everything is read before anything is set, so a failing query leaves
        // the work order as it was.
        const QString afas = QueryText(QStringLiteral("SELECT afas") + where, QString());
        const QString name = QueryText(QStringLiteral("SELECT vallalkozo_nev") + where, kNotGiven);
        const NetRates rates = RatesFromContractor(
            afas, QueryFloat(QStringLiteral("SELECT oradij") + where, 0),
            QueryFloat(QStringLiteral("SELECT kiszdij") + where, 0), Beall.Afakulcs);
        TblZomi->setValue(QStringLiteral("vallalkozo"), chosen);
        TblZomi->setValue(QStringLiteral("afas"), afas);
        TblZomi->setValue(QStringLiteral("munkadij1"), variantOf(rates.munkadij1));
        TblZomi->setValue(QStringLiteral("kiszdij1"), variantOf(rates.kiszdij1));
        Edit1->setText(name);
        showAfas();
        reloadAmounts({DBEdit5, DBEdit11});
    });
    DateTimePicker2->setFocus();
}

void Tfrm_Szerkeszt::BitBtn2Click() {
    Guarded(this, [&] {
        const int chosen = chooseSite();
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
            chooseLookup(QStringLiteral("alairas"), QStringLiteral("Aláírás"), &name);
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
            chooseLookup(QStringLiteral("statusz"), QStringLiteral("Státusz"), &name);
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
        TblZomi->setValue(QStringLiteral("munkadij3"),
                          NetLabourFee(amountOf(*TblZomi, QStringLiteral("munkadij1")),
                                       amountOf(*TblZomi, QStringLiteral("munkadij2"))));
        reloadAmounts({DBEdit9});
    });
    DBEdit11->setFocus();
}

void Tfrm_Szerkeszt::BitBtn6Click() {
    if (!operandsHoldNumbers({DBEdit11, DBEdit12}, this)) return;
    Guarded(this, [&] {
        TblZomi->setValue(QStringLiteral("kiszdij3"),
                          NetCallOutFee(amountOf(*TblZomi, QStringLiteral("kiszdij1")),
                                        amountOf(*TblZomi, QStringLiteral("kiszdij2"))));
        reloadAmounts({DBEdit13});
    });
    DBEdit17->setFocus();
}

void Tfrm_Szerkeszt::BitBtn7Click() {
    if (!operandsHoldNumbers({DBEdit9, DBEdit13, DBEdit17}, this)) return;
    Guarded(this, [&] {
        const GrossAmounts gross = GrossAndTotal(
            amountOf(*TblZomi, QStringLiteral("munkadij3")),
            amountOf(*TblZomi, QStringLiteral("kiszdij3")),
            amountOf(*TblZomi, QStringLiteral("anyag3")),
            NullToText(TblZomi->value(QStringLiteral("afas")), QString()), Beall.Afakulcs);
        TblZomi->setValue(QStringLiteral("munkadij4"), gross.munkadij4);
        TblZomi->setValue(QStringLiteral("kiszdij4"), gross.kiszdij4);
        TblZomi->setValue(QStringLiteral("anyag4"), gross.anyag4);
        TblZomi->setValue(QStringLiteral("ossz"), gross.ossz);
        reloadAmounts({DBEdit15});
    });
    Button1->setFocus();
}

bool Tfrm_Szerkeszt::requiredColumnsSet() {
    struct Required {
        const char* column;
        const char* message;
        QWidget* focus;
    };
    const Required required[] = {
        {"datum", "Dátum megadása kötelező", nullptr},
        {"ido", "Idő megadása kötelező", DateTimePicker1},
        {"vallalkozo", "Vállalkozó megadása kötelező", BitBtn1},
        {"ktgh", "Költséghely megadása kötelező", BitBtn2},
        {"kiad_datum", "Kiadás dátum megadása kötelező", DateTimePicker2},
        {"hatar_datum", "Határidő megadása kötelező", DateTimePicker3},
        {"alairas", "Aláíró megadása kötelező", BitBtn3},
    };
    for (const Required& r : required) {
        if (!TblZomi->isNull(QString::fromLatin1(r.column))) continue;
        ErrorBox(QString::fromUtf8(r.message), this);
        if (r.focus) r.focus->setFocus();
        return false;
    }
    return true;
}

bool Tfrm_Szerkeszt::typedValuesFit() {
    for (AmountEdit* box : amountBoxes()) {
        if (box->holdsNumber()) continue;
        ErrorBox(box->notANumberText(), this);
        box->setFocus();
        return false;
    }
    constexpr int kMunkaLength = 255;
    const int length = static_cast<int>(DBMemo1->toPlainText().size());
    if (length > kMunkaLength) {
        ErrorBox(QStringLiteral("A munka leírása legfeljebb %1 karakter lehet, most %2 karakter. "
                                "Kérem, rövidítse le.")
                     .arg(kMunkaLength)
                     .arg(length),
                 this);
        DBMemo1->setFocus();
        return false;
    }
    return true;
}

bool Tfrm_Szerkeszt::rowStillExists() const {
    return QueryInt(QStringLiteral("SELECT COUNT(*) FROM zomi WHERE zomi=") +
                        QString::number(key_) + QStringLiteral(";"),
                    0) > 0;
}

bool Tfrm_Szerkeszt::storeNew() {
    // The number was taken when the window opened; another workstation may
    // have stored a work order with it since, which the database refuses.
    const QString takenNumber = Edit5->text();
    constexpr int kMaxAttempts = 100;
    for (int attempt = 1;; ++attempt) {
        try {
            TblZomi->post();
            break;
        } catch (const DbError& error) {
            const bool numberTaken = error.code() == kDuplicateKey &&
                                     error.message().contains(QLatin1String("ev_sorszam"));
            if (!numberTaken || attempt == kMaxAttempts) throw;
            const QVariant datum = TblZomi->value(QStringLiteral("datum"));
            // The number must be free in the year of the row's own date, which
            // is the year the database holds it unique in.
            const QString year = QString::number(datum.toDate().year());
            TblZomi->setValue(
                QStringLiteral("sorszam"),
                QueryInt(QStringLiteral("SELECT MAX(sorszam) FROM zomi WHERE YEAR(datum) = ") +
                             year + QStringLiteral(";"),
                         0) +
                    1);
            showNumber();
        }
    }
    if (Edit5->text() != takenNumber)
        WarningBox(
            QStringLiteral(
                "A munkalap sorszáma megváltozott: a(z) %1 sorszámot időközben egy másik munkalap "
                "kapta meg, ezért ez a munkalap a(z) %2 sorszámmal lett mentve.")
                .arg(takenNumber, Edit5->text()),
            this);
    return true;
}

bool Tfrm_Szerkeszt::storeExisting() {
    // An update of a row that is gone changes nothing on the server, and an
    // update without changes is not even sent: ask first.
    if (!rowStillExists()) {
        ErrorBox(kDeletedText, this);
        return false;
    }
    try {
        TblZomi->post();
    } catch (const DbError& error) {
        if (error.code() != DbError::kRowChanged) throw;
        ErrorBox(rowStillExists() ? kChangedText : kDeletedText, this);
        return false;
    }
    return true;
}

bool Tfrm_Szerkeszt::store() { return key_ == -1 ? storeNew() : storeExisting(); }

void Tfrm_Szerkeszt::Button1Click() {
    bool stored = false;
    Guarded(this, [&] { stored = requiredColumnsSet() && typedValuesFit() && store(); });
    if (stored) accept();
}

int Tfrm_Szerkeszt::finish() {
    if (!TblZomi) return -1;
    int key = -1;
    if (result() == Accepted) {
        key = NullToInt(TblZomi->value(QStringLiteral("zomi")), 0);
    } else {
        TblZomi->cancel();
    }
    TblZomi->close();
    return key;
}

void Tfrm_Szerkeszt::fitControlsToFont() {
    const double scale = std::max(1.0, font().pointSizeF() / kDesignPointSize);
    for (QWidget* control : findChildren<QWidget*>()) {
        const QVariant width = control->property(kDesignWidth);
        if (width.isValid()) control->setFixedWidth(qRound(width.toInt() * scale));
        const QVariant height = control->property(kDesignHeight);
        if (height.isValid()) control->setFixedHeight(qRound(height.toInt() * scale));
    }
}

void Tfrm_Szerkeszt::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        // The fixed control widths grow with the font before the window is fitted.
        ApplyFontSize(this, Beall.FontSize);
        fitControlsToFont();
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

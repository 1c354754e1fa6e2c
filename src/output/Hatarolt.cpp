#include "output/Hatarolt.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <stdexcept>

#include "common/Beall.h"
#include "common/Folders.h"
#include "output/Biff2Writer.h"
#include "output/XlsxExport.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/Pictures.h"
#include "ui/RightsGuard.h"
#include "ui/WindowHelpers.h"

namespace zomi {

namespace {

const QString kSection = QStringLiteral("frm_Hatarolt");
const QSize kDesignSize(763, 452);
const QString kProposedName = QStringLiteral("File001.csv");
const QString kDefaultSuffix = QStringLiteral("csv");

const QChar kDelimiters[] = {QLatin1Char(';'), QLatin1Char('\t'), QLatin1Char(','),
                             QLatin1Char('|')};
const QChar kQuotes[] = {QLatin1Char('"'), QLatin1Char('\''), QChar()};

// "Excel munkalap (*.xls)" gives "xls"; a filter of many or any name gives the default.
QString filterSuffix(const QString& filter) {
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open) return kDefaultSuffix;
    const QString pattern = filter.mid(open + 1, close - open - 1).trimmed();
    if (!pattern.startsWith(QLatin1String("*.")) || pattern.contains(QLatin1Char(' ')))
        return kDefaultSuffix;
    const QString suffix = pattern.mid(2);
    return suffix.contains(QLatin1Char('*')) ? kDefaultSuffix : suffix;
}

}  // namespace

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items.at(i), this);
        button->setObjectName(QStringLiteral("Item%1").arg(i));
        group_->addButton(button, i);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    // One tab stop for the group, at its chosen button; the arrow keys move
    // within it.
    connect(group_, &QButtonGroup::buttonToggled, this, [](QAbstractButton* button, bool checked) {
        button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
    });
    for (QAbstractButton* button : group_->buttons()) button->setFocusPolicy(Qt::ClickFocus);
}

int RadioGroup::itemIndex() const { return group_->checkedId(); }

void RadioGroup::setItemIndex(int index) {
    if (QAbstractButton* button = group_->button(index)) button->setChecked(true);
}

QList<QAbstractButton*> RadioGroup::buttons() const { return group_->buttons(); }

const QStringList Tfrm_Hatarolt::kSaveFilters = {
    QStringLiteral("Excel munkalap (*.xls)"),  QStringLiteral("Excel munkafüzet (*.xlsx)"),
    QStringLiteral("Excelbarát XML (*.xml)"),  QStringLiteral("CSV állományok (*.csv)"),
    QStringLiteral("Text állományok (*.txt)"), QStringLiteral("Minden állomány (*.*)"),
};

Tfrm_Hatarolt::Tfrm_Hatarolt(dbaccess::Dataset* dataset, const QString& fileName, QWidget* parent)
    : QDialog(parent), dataset_(dataset) {
    if (!dataset_) throw std::invalid_argument("Tfrm_Hatarolt needs a dataset");
    setObjectName(QStringLiteral("frm_Hatarolt"));
    setWindowTitle(QStringLiteral("Határolt szöveg export"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("Segoe UI"), 8));

    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setFixedWidth(230);
    for (int i = 0; i < dataset_->fieldCount(); ++i) {
        auto* item = new QListWidgetItem(dataset_->field(i).name, CheckListBox1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    if (CheckListBox1->count() > 0) CheckListBox1->setCurrentRow(0, QItemSelectionModel::NoUpdate);

    Button4 = new QPushButton(QStringLiteral("Összes"), this);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button5 = new QPushButton(QStringLiteral("Egyik sem"), this);
    Button5->setObjectName(QStringLiteral("Button5"));

    RadioGroup2 = new RadioGroup(QStringLiteral("Határoló karakter"),
                                 {QStringLiteral("Pontosvessző (;)"), QStringLiteral("Tabulátor"),
                                  QStringLiteral("Vessző (,)"), QStringLiteral("Cső (|)")},
                                 this);
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    RadioGroup2->setItemIndex(0);
    RadioGroup1 = new RadioGroup(
        QStringLiteral("Szövegjelölő"),
        {QStringLiteral("Idézőjel (\")"), QStringLiteral("Aposztróf (')"), QStringLiteral("Semmi")},
        this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setItemIndex(2);

    CheckBox1 = new QCheckBox(QStringLiteral("Többsoros mezőket is kiírja"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(true);
    CheckBox2 = new QCheckBox(QStringLiteral("Eredeti mezőneveket használja"), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox3 = new QCheckBox(QStringLiteral("Fejléc nem kell (az első sorban)"), this);
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    CheckBox4 = new QCheckBox(QStringLiteral("Export után megnyitás"), this);
    CheckBox4->setObjectName(QStringLiteral("CheckBox4"));

    BitBtn1 = new QPushButton(ClipboardIcon(), QStringLiteral("Vágólapra!"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    Label2 = new QLabel(QStringLiteral("Excel munkalapba beilleszthető"), this);
    Label2->setObjectName(QStringLiteral("Label2"));

    Edit1 = new QLineEdit(fileName, this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label1 = new QLabel(QStringLiteral("Filenév"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(Edit1);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("…"));
    SpeedButton1->setToolTip(QStringLiteral("Mentés másként"));
    SpeedButton1->setFocusPolicy(Qt::NoFocus);  // a speed button never takes the focus

    Button3 = new QPushButton(QStringLiteral("Megállít"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setEnabled(false);
    Button1 = new QPushButton(QStringLiteral("Export indítás"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Bezár"), this);
    Button2->setObjectName(QStringLiteral("Button2"));

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedHeight(16);

    Image3 = new QLabel(this);
    Image3->setObjectName(QStringLiteral("Image3"));
    Image3->setFixedSize(72, 72);
    Image3->setPixmap(ExportPicture(72));

    for (QPushButton* button : {Button4, Button5, Button1, Button2, Button3})
        button->setMinimumWidth(96);

    // Layout: the column list down the left edge, the options beside it, the
    // file name and the buttons at the bottom right, the progress bar under all.
    auto* tickButtons = new QVBoxLayout;
    tickButtons->setSpacing(6);
    tickButtons->addWidget(Button4);
    tickButtons->addWidget(Button5);
    tickButtons->addStretch(1);

    auto* options = new QHBoxLayout;
    options->setSpacing(12);
    options->addLayout(tickButtons);
    options->addWidget(RadioGroup2);
    options->addWidget(RadioGroup1);
    options->addStretch(1);
    options->addWidget(Image3, 0, Qt::AlignTop);

    auto* checks = new QVBoxLayout;
    checks->setSpacing(6);
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4}) checks->addWidget(box);

    auto* clipboard = new QHBoxLayout;
    clipboard->setSpacing(10);
    clipboard->addWidget(BitBtn1);
    clipboard->addWidget(Label2);
    clipboard->addStretch(1);

    auto* file = new QHBoxLayout;
    file->setSpacing(4);
    file->addWidget(Edit1, 1);
    file->addWidget(SpeedButton1);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(8);
    actions->addWidget(Button3);
    actions->addStretch(1);
    actions->addWidget(Button1);
    actions->addWidget(Button2);

    auto* right = new QVBoxLayout;
    right->setSpacing(10);
    right->addLayout(options);
    right->addLayout(checks);
    right->addSpacing(4);
    right->addLayout(clipboard);
    right->addStretch(1);
    right->addWidget(Label1);
    right->addLayout(file);
    right->addSpacing(6);
    right->addLayout(actions);

    auto* body = new QHBoxLayout;
    body->setSpacing(14);
    body->addWidget(CheckListBox1);
    body->addLayout(right, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 6);
    layout->setSpacing(8);
    layout->addLayout(body, 1);
    layout->addWidget(ProgressBar1);

    QList<QWidget*> order{CheckListBox1, Button4, Button5};
    for (QAbstractButton* b : RadioGroup2->buttons()) order << b;
    for (QAbstractButton* b : RadioGroup1->buttons()) order << b;
    order << CheckBox1 << CheckBox2 << CheckBox3 << CheckBox4 << Edit1 << Button1 << Button2
          << Button3 << BitBtn1;
    for (int i = 1; i < order.size(); ++i) setTabOrder(order.at(i - 1), order.at(i));
    CheckListBox1->setFocus();

    connect(Button1, &QPushButton::clicked, this, &Tfrm_Hatarolt::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tfrm_Hatarolt::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &Tfrm_Hatarolt::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &Tfrm_Hatarolt::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &Tfrm_Hatarolt::Button5Click);
    connect(BitBtn1, &QPushButton::clicked, this, &Tfrm_Hatarolt::BitBtn1Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &Tfrm_Hatarolt::SpeedButton1Click);

    EnableFocusColor(this);
}

DelimitedOptions Tfrm_Hatarolt::options() const {
    DelimitedOptions options;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        if (CheckListBox1->item(i)->checkState() == Qt::Checked) options.columns.push_back(i);
    options.delimiter = kDelimiters[std::max(0, RadioGroup2->itemIndex())];
    options.quote = kQuotes[std::max(0, RadioGroup1->itemIndex())];
    options.memoText = CheckBox1->isChecked();
    options.fieldNames = CheckBox2->isChecked();
    options.noHeader = CheckBox3->isChecked();
    return options;
}

void Tfrm_Hatarolt::showEvent(QShowEvent* event) {
    if (!shownBefore_) {
        shownBefore_ = true;
        FitOnFirstShow(this, Beall.FontSize, kDesignSize, kSection);
    }
    QDialog::showEvent(event);
}

void Tfrm_Hatarolt::done(int result) {
    // Esc, "Bezár" and the close box stop a running export instead of closing under it.
    if (exporting_) {
        keepGoing_ = false;
        return;
    }
    StoreWindowPos(this, kSection);
    QDialog::done(result);
}

void Tfrm_Hatarolt::Button2Click() { reject(); }

void Tfrm_Hatarolt::Button3Click() { keepGoing_ = false; }

void Tfrm_Hatarolt::Button4Click() {
    for (int i = 0; i < CheckListBox1->count(); ++i)
        CheckListBox1->item(i)->setCheckState(Qt::Checked);
}

void Tfrm_Hatarolt::Button5Click() {
    for (int i = 0; i < CheckListBox1->count(); ++i)
        CheckListBox1->item(i)->setCheckState(Qt::Unchecked);
}

void Tfrm_Hatarolt::SpeedButton1Click() {
    if (!exporting_) showSaveDialog();
}

bool Tfrm_Hatarolt::showSaveDialog() {
    QFileDialog dialog(this, QStringLiteral("Mentés másként"));
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // An existing file is replaced without a question, as the export promises.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(kSaveFilters);
    dialog.selectNameFilter(kSaveFilters.first());
    dialog.setDefaultSuffix(kDefaultSuffix);
    // A name typed without an extension gets that of the type the user picked.
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog](const QString& filter) { dialog.setDefaultSuffix(filterSuffix(filter)); });
    if (!Edit1->text().isEmpty()) dialog.selectFile(Edit1->text());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    Edit1->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
    return true;
}

void Tfrm_Hatarolt::setExporting(bool exporting, bool stoppable) {
    exporting_ = exporting;
    // Disabling the focused button would leave the window without a focus afterwards.
    if (exporting) focusBeforeExport_ = QApplication::focusWidget();
    for (QWidget* control : std::initializer_list<QWidget*>{
             CheckListBox1, Button4, Button5, RadioGroup2, RadioGroup1, CheckBox1, CheckBox2,
             CheckBox3, CheckBox4, BitBtn1, Edit1, SpeedButton1, Button1, Button2})
        control->setEnabled(!exporting);
    Button3->setEnabled(exporting && stoppable);
    if (!exporting && focusBeforeExport_ && isAncestorOf(focusBeforeExport_))
        focusBeforeExport_->setFocus();
}

Progress Tfrm_Hatarolt::progressBarSteps() {
    Progress progress;
    // A range of 0..0 would turn the bar into a busy indicator.
    progress.setMaximum = [this](int maximum) { ProgressBar1->setRange(0, std::max(1, maximum)); };
    progress.setPosition = [this](int position) { ProgressBar1->setValue(position); };
    return progress;
}

KeepGoing Tfrm_Hatarolt::processEventsUntilStopped() {
    return [this] {
        QCoreApplication::processEvents();
        return keepGoing_;
    };
}

bool Tfrm_Hatarolt::exportDelimited(const QString& fileName) {
    setExporting(true, true);
    keepGoing_ = true;
    try {
        WriteDelimitedFile(*dataset_, options(), fileName, progressBarSteps(),
                           processEventsUntilStopped());
    } catch (const std::exception& error) {
        ProgressBar1->setValue(0);
        setExporting(false, false);
        ErrorBox(QStringLiteral("Hiba: ") + QString::fromUtf8(error.what()), this);
        return false;
    }
    ProgressBar1->setValue(0);
    setExporting(false, false);
    InfoBox(fileName + QStringLiteral(" file kész."), this);
    return true;
}

bool Tfrm_Hatarolt::exportSpreadsheet(const QString& fileName, bool xlsx) {
    setExporting(true, false);
    try {
        const std::vector<int> columns = options().columns;
        if (xlsx)
            WriteXlsxFile(*dataset_, columns, fileName, progressBarSteps());
        else
            WriteBiff2File(*dataset_, columns, fileName, progressBarSteps());
    } catch (const std::exception& error) {
        ProgressBar1->setValue(0);
        setExporting(false, false);
        ShowError(error, this);
        return false;
    }
    ProgressBar1->setValue(0);
    setExporting(false, false);
    return true;
}

void Tfrm_Hatarolt::openExportedFile(const QString& fileName) {
    const QString path = QFileInfo(fileName).absoluteFilePath();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        ErrorBox(QStringLiteral("Hiba: a(z) %1 file nem nyitható meg.").arg(fileName), this);
}

void Tfrm_Hatarolt::Button1Click() {
    if (exporting_) return;
    if (Edit1->text().isEmpty() && !showSaveDialog()) return;
    const QString fileName = Edit1->text();
    const QString extension = QFileInfo(fileName).suffix().toUpper();
    bool completed = false;
    if (extension == QLatin1String("XML")) {
        ErrorBox(QStringLiteral("Ebben a verzióban ez nem támogatott."), this);
        return;
    }
    if (extension == QLatin1String("XLS"))
        completed = exportSpreadsheet(fileName, false);
    else if (extension == QLatin1String("XLSX"))
        completed = exportSpreadsheet(fileName, true);
    else
        completed = exportDelimited(fileName);
    if (completed && CheckBox4->isChecked()) {
        openExportedFile(fileName);
        accept();
    }
}

void Tfrm_Hatarolt::BitBtn1Click() {
    if (exporting_) return;
    setExporting(true, true);
    keepGoing_ = true;
    QString text;
    try {
        DelimitedText(*dataset_, ClipboardOptions(options()), text, progressBarSteps(),
                      processEventsUntilStopped());
        QGuiApplication::clipboard()->setText(text);
    } catch (const std::exception& error) {
        ProgressBar1->setValue(0);
        setExporting(false, false);
        ErrorBox(QStringLiteral("Hiba: ") + QString::fromUtf8(error.what()), this);
        return;
    }
    ProgressBar1->setValue(0);
    setExporting(false, false);
    InfoBox(QStringLiteral("Adatok vágólapra másolása kész."), this);
}

void HataroltExport(dbaccess::Dataset* dataset, const QString& fileName) {
    if (!dataset) throw std::invalid_argument("HataroltExport needs a dataset");
    if (!CheckRight(Right::Print, QApplication::activeWindow())) return;
    QString name = fileName;
    if (name.isEmpty()) {
        // Without a documents folder the name stands alone, in the working folder.
        const QString documents = DocumentsDir();
        name = documents.isEmpty()
                   ? kProposedName
                   : QDir::toNativeSeparators(documents + QLatin1Char('/') + kProposedName);
    }
    Tfrm_Hatarolt window(dataset, name, QApplication::activeWindow());
    window.exec();
}

}  // namespace zomi

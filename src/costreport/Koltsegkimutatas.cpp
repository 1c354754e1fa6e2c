#include "costreport/Koltsegkimutatas.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include "common/AmountFormat.h"
#include "common/Beall.h"
#include "common/Codepage.h"
#include "common/Settings.h"
#include "costreport/CostChart.h"
#include "costreport/CostExport.h"
#include "costreport/CostPrint.h"
#include "costreport/KoltsegMunkalapok.h"
#include "db/DbRoutines.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/ListSearch.h"
#include "ui/Pictures.h"
#include "ui/WindowHelpers.h"

namespace zomi::costreport {

namespace {

const QString kSection = QStringLiteral("frm_Koltsegkimutatas");
constexpr int kSortRole = Qt::UserRole;
constexpr int kTotalsRole = Qt::UserRole + 1;
constexpr int kMaxBars = 15;
constexpr int kMaxStacks = 8;

// Sorts by the cells' own values (a name by its place in the Hungarian
// order) and keeps the totals row last whichever way.
class TotalsLastProxy : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        const bool leftTotals = left.siblingAtColumn(0).data(kTotalsRole).toBool();
        const bool rightTotals = right.siblingAtColumn(0).data(kTotalsRole).toBool();
        if (leftTotals || rightTotals)
            return sortOrder() == Qt::AscendingOrder ? rightTotals : leftTotals;
        const QVariant a = left.data(kSortRole);
        const QVariant b = right.data(kSortRole);
        if (a.isNull() || b.isNull()) return a.isNull() && !b.isNull();
        return a.toDouble() < b.toDouble();
    }
};

QDate settingDate(const QString& key) {
    return QDate::fromString(ReadSetting(kSection, key, QString()), Qt::ISODate);
}

}  // namespace

Tfrm_Koltsegkimutatas::Tfrm_Koltsegkimutatas(int registerYear, QWidget* parent)
    : QDialog(parent), registerYear_(registerYear) {
    setObjectName(kSection);
    setWindowTitle(QStringLiteral("Költségkimutatás"));
    resize(1180, 720);
    timer_.setSingleShot(true);
    timer_.setInterval(250);
    connect(&timer_, &QTimer::timeout, this, [this] { Guarded(this, [this] { run(); }); });
    fetcher_.setParams(MainConnection()->params());
    fetcher_.setKiller(dbaccess::ListFetcher::KillThrough([] { return MainConnection(); }));
    buildActions();
    buildLayout();
    fillLookups();
    readSettings();
    loading_ = false;
    ApplyFontSize(this, Beall.FontSize);
    RestoreWindowPlacement(this, kSection);
    parametersChanged();
}

Tfrm_Koltsegkimutatas::~Tfrm_Koltsegkimutatas() { fetcher_.stop(); }

QAction* Tfrm_Koltsegkimutatas::action(const QString& name) const {
    return findChild<QAction*>(name);
}

void Tfrm_Koltsegkimutatas::buildActions() {
    const auto make = [this](const char* name, const QString& caption, const QKeySequence& key,
                             void (Tfrm_Koltsegkimutatas::*handler)()) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(caption);
        if (!key.isEmpty()) a->setShortcut(key);
        if (const QIcon icon = RegisterIcon(QString::fromLatin1(name)); !icon.isNull())
            a->setIcon(icon);
        addAction(a);
        connect(a, &QAction::triggered, this,
                [this, handler] { Guarded(this, [this, handler] { (this->*handler)(); }); });
    };
    make("aFrissit", QStringLiteral("Frissít"), Qt::Key_F5, &Tfrm_Koltsegkimutatas::run);
    make("aExcelbe", QStringLiteral("Excelbe..."), QKeySequence(Qt::CTRL | Qt::Key_E),
         &Tfrm_Koltsegkimutatas::aExcelbeExecute);
    make("aCsv", QStringLiteral("CSV-be..."), QKeySequence(), &Tfrm_Koltsegkimutatas::aCsvExecute);
    make("aGrafikon", QStringLiteral("Grafikon mentése..."), QKeySequence(),
         &Tfrm_Koltsegkimutatas::aGrafikonExecute);
    make("aNyomtat", QStringLiteral("Nyomtat"), QKeySequence(Qt::CTRL | Qt::Key_P),
         &Tfrm_Koltsegkimutatas::aNyomtatExecute);
}

void Tfrm_Koltsegkimutatas::buildLayout() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    auto* panel = new QWidget(this);
    buildParameters(panel);
    column->addWidget(panel);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar1->setIconSize(QSize(20, 20));
    for (const char* name : {"aFrissit", "", "aExcelbe", "aCsv", "aGrafikon", "", "aNyomtat"}) {
        if (*name == '\0')
            ToolBar1->addSeparator();
        else
            ToolBar1->addAction(action(QString::fromLatin1(name)));
    }
    column->addWidget(ToolBar1);

    splitter_ = new QSplitter(Qt::Horizontal, this);
    DBGrid1 = new QTableView(splitter_);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    SetUpListGrid(DBGrid1);
    model_ = new QStandardItemModel(this);
    proxy_ = new TotalsLastProxy(this);
    proxy_->setSourceModel(model_);
    DBGrid1->setModel(proxy_);
    DBGrid1->setSortingEnabled(true);
    DBGrid1->horizontalHeader()->setSectionsClickable(true);
    DBGrid1->setToolTip(QStringLiteral("Dupla kattintás vagy Enter: a sor munkalapjai"));
    connect(DBGrid1, &QTableView::activated, this, [this](const QModelIndex& index) {
        const QModelIndex source = proxy_->mapToSource(index);
        Guarded(this, [&] { openRow(source.row(), source.column()); });
    });
    Chart1 = new CostChart(splitter_);
    connect(Chart1, &CostChart::barClicked, this,
            [this](int bar, int stack) { Guarded(this, [&] { openBar(bar, stack); }); });
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 2);
    column->addWidget(splitter_, 1);

    LblMegjegyzes = new QLabel(this);
    LblMegjegyzes->setObjectName(QStringLiteral("LblMegjegyzes"));
    LblMegjegyzes->setTextFormat(Qt::PlainText);
    LblMegjegyzes->setWordWrap(true);
    column->addWidget(LblMegjegyzes);
    LblAllapot = new QLabel(this);
    LblAllapot->setObjectName(QStringLiteral("LblAllapot"));
    LblAllapot->setTextFormat(Qt::PlainText);
    column->addWidget(LblAllapot);
}

void Tfrm_Koltsegkimutatas::buildParameters(QWidget* panel) {
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto label = [panel](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, panel);
        l->setBuddy(buddy);
        return l;
    };
    const auto dateEdit = [panel](const char* name) {
        auto* e = new QDateEdit(panel);
        e->setObjectName(QString::fromLatin1(name));
        e->setCalendarPopup(true);
        e->setDisplayFormat(QStringLiteral("yyyy.MM.dd."));
        return e;
    };
    const auto combo = [panel](const char* name) {
        auto* c = new QComboBox(panel);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    DateEdit1 = dateEdit("DateEdit1");
    DateEdit2 = dateEdit("DateEdit2");
    CheckBox1 = new QCheckBox(QStringLiteral("&Minden év"), panel);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    ComboGyors = combo("ComboGyors");
    ComboGyors->addItems(
        {QStringLiteral("Gyors választás..."), QStringLiteral("Ez a hónap"),
         QStringLiteral("Előző hónap"), QStringLiteral("Ez az év"), QStringLiteral("Előző év"),
         registerYear_ > 0 ? QStringLiteral("A nyilvántartás éve (%1)").arg(registerYear_)
                           : QStringLiteral("A nyilvántartás lapja (Összes)")});
    ComboCsop1 = combo("ComboCsop1");
    ComboCsop2 = combo("ComboCsop2");
    const QStringList captions = GroupingCaptions();
    ComboCsop1->addItems(captions.mid(1));
    ComboCsop2->addItems(captions);
    ComboStatusz = combo("ComboStatusz");
    ComboVallalkozo = combo("ComboVallalkozo");
    ComboVallalkozo->setMinimumContentsLength(24);
    ComboVallalkozo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    grid->addWidget(label(QStringLiteral("&Időszak:"), DateEdit1), 0, 0);
    grid->addWidget(DateEdit1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("–"), panel), 0, 2);
    grid->addWidget(DateEdit2, 0, 3);
    grid->addWidget(CheckBox1, 0, 4);
    grid->addWidget(ComboGyors, 0, 5);
    grid->addWidget(label(QStringLiteral("&Státusz:"), ComboStatusz), 0, 6);
    grid->addWidget(ComboStatusz, 0, 7);
    grid->addWidget(label(QStringLiteral("&Csoportosítás:"), ComboCsop1), 1, 0);
    grid->addWidget(ComboCsop1, 1, 1);
    grid->addWidget(label(QStringLiteral("&Második:"), ComboCsop2), 1, 2);
    grid->addWidget(ComboCsop2, 1, 3, 1, 2);
    grid->addWidget(label(QStringLiteral("&Vállalkozó:"), ComboVallalkozo), 1, 6);
    grid->addWidget(ComboVallalkozo, 1, 7);
    grid->setColumnStretch(8, 1);

    const auto changed = [this] { parametersChanged(); };
    connect(DateEdit1, &QDateEdit::dateChanged, this, changed);
    connect(DateEdit2, &QDateEdit::dateChanged, this, changed);
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool all) {
        DateEdit1->setEnabled(!all);
        DateEdit2->setEnabled(!all);
        parametersChanged();
    });
    for (QComboBox* c : {ComboCsop1, ComboCsop2, ComboStatusz, ComboVallalkozo})
        connect(c, &QComboBox::currentIndexChanged, this, changed);
    connect(ComboGyors, &QComboBox::activated, this, [this](int i) { applyQuickChoice(i); });
}

void Tfrm_Koltsegkimutatas::fillLookups() {
    const auto fill = [](QComboBox* box, const QString& sql) {
        box->addItem(QStringLiteral("(mind)"), kAll);
        const auto result = MainConnection()->query(sql);
        for (int r = 0; r < result->rowCount(); ++r) {
            const dbaccess::RowRef row = result->row(r);
            const QString name =
                row.cell(1) ? FromCp1250(row.cell(1), static_cast<qsizetype>(row.length(1)))
                            : QString();
            box->addItem(name, QByteArray(row.cell(0)).toInt());
        }
    };
    fill(ComboStatusz,
         QStringLiteral("SELECT statusz, statusz_nev FROM statusz ORDER BY statusz_nev;"));
    fill(ComboVallalkozo, QStringLiteral("SELECT vallalkozo, vallalkozo_nev FROM vallalkozo "
                                         "WHERE vallalkozo <> -1 ORDER BY vallalkozo_nev;"));
}

void Tfrm_Koltsegkimutatas::readSettings() {
    // This year by site, unless the settings file remembers another choice.
    const QDate today = ServerDate().date();
    const Period year = QuickPeriodRange(QuickPeriod::ThisYear, today, 0);
    const QDate from = settingDate(QStringLiteral("Tol"));
    const QDate to = settingDate(QStringLiteral("Ig"));
    DateEdit1->setDate(from.isValid() ? from : year.from);
    DateEdit2->setDate(to.isValid() ? to : year.to);
    CheckBox1->setChecked(ReadIntSetting(kSection, QStringLiteral("MindenEv"), 0) != 0);
    const Grouping first = GroupingFromName(
        ReadSetting(kSection, QStringLiteral("Csoport1"), GroupingName(Grouping::Site)));
    ComboCsop1->setCurrentIndex(first == Grouping::None ? 0 : static_cast<int>(first) - 1);
    ComboCsop2->setCurrentIndex(static_cast<int>(
        GroupingFromName(ReadSetting(kSection, QStringLiteral("Csoport2"), QString()))));
    const auto select = [](QComboBox* box, int key) {
        const int i = box->findData(key);
        box->setCurrentIndex(i < 0 ? 0 : i);
    };
    select(ComboStatusz, ReadIntSetting(kSection, QStringLiteral("Statusz"), kAll));
    select(ComboVallalkozo, ReadIntSetting(kSection, QStringLiteral("Vallalkozo"), kAll));
}

void Tfrm_Koltsegkimutatas::writeSettings() const {
    const CostParams p = params();
    WriteSetting(kSection, QStringLiteral("Tol"), DateEdit1->date().toString(Qt::ISODate));
    WriteSetting(kSection, QStringLiteral("Ig"), DateEdit2->date().toString(Qt::ISODate));
    WriteIntSetting(kSection, QStringLiteral("MindenEv"), CheckBox1->isChecked() ? 1 : 0);
    WriteSetting(kSection, QStringLiteral("Csoport1"), GroupingName(p.first));
    WriteSetting(kSection, QStringLiteral("Csoport2"), GroupingName(p.second));
    WriteIntSetting(kSection, QStringLiteral("Statusz"), p.statusFilter);
    WriteIntSetting(kSection, QStringLiteral("Vallalkozo"), p.contractorFilter);
}

CostParams Tfrm_Koltsegkimutatas::params() const {
    CostParams p;
    if (!CheckBox1->isChecked()) p.period = {DateEdit1->date(), DateEdit2->date()};
    p.first = static_cast<Grouping>(ComboCsop1->currentIndex() + 1);
    p.second = static_cast<Grouping>(std::max(ComboCsop2->currentIndex(), 0));
    p.statusFilter =
        ComboStatusz->currentData().isValid() ? ComboStatusz->currentData().toInt() : kAll;
    p.contractorFilter =
        ComboVallalkozo->currentData().isValid() ? ComboVallalkozo->currentData().toInt() : kAll;
    return p;
}

void Tfrm_Koltsegkimutatas::applyQuickChoice(int index) {
    if (index <= 0) return;
    const auto choice = static_cast<QuickPeriod>(index - 1);
    const Period period = QuickPeriodRange(choice, ServerDate().date(), registerYear_);
    loading_ = true;
    CheckBox1->setChecked(period.allDates());
    if (!period.allDates()) {
        DateEdit1->setDate(period.from);
        DateEdit2->setDate(period.to);
    }
    loading_ = false;
    ComboGyors->setCurrentIndex(0);
    parametersChanged();
}

void Tfrm_Koltsegkimutatas::parametersChanged() {
    if (loading_) return;
    // The count running no longer answers what is asked.
    fetcher_.abandon();
    blocks_.clear();
    LblAllapot->setText(QStringLiteral("Számolás..."));
    timer_.start();
}

void Tfrm_Koltsegkimutatas::run() {
    timer_.stop();
    const CostParams p = params();
    const QString problem = CheckParams(p);
    if (!problem.isEmpty()) {
        fetcher_.abandon();
        table_ = {};
        shown_ = p;
        model_->clear();
        Chart1->showMessage(QString());
        showNote(problem, true);
        LblAllapot->clear();
        return;
    }
    running_ = p;
    blocks_.clear();
    started_ = QDateTime::currentMSecsSinceEpoch();
    LblAllapot->setText(QStringLiteral("Számolás..."));
    dbaccess::ListFetcher::Handlers handlers;
    handlers.fields = [](const std::vector<dbaccess::Field>&) {};
    handlers.rows = [this](const dbaccess::RowBlockPtr& block) { blocks_.push_back(block); };
    handlers.done = [this](quint64) { Guarded(this, [this] { figuresArrived(); }); };
    handlers.failed = [this](const std::exception& e) {
        LblAllapot->setText(QStringLiteral("A kimutatás nem készült el."));
        ShowError(e, this);
    };
    fetcher_.start(CostSql(p), std::move(handlers));
}

void Tfrm_Koltsegkimutatas::waitForFigures() {
    if (timer_.isActive()) Guarded(this, [this] { run(); });
    fetcher_.wait();
}

void Tfrm_Koltsegkimutatas::figuresArrived() {
    std::vector<dbaccess::RowRef> rows;
    for (const auto& block : blocks_) {
        const std::vector<dbaccess::RowRef> arrived = block->rows();
        rows.insert(rows.end(), arrived.begin(), arrived.end());
    }
    const CostResult result = ReadCostResult(rows, running_);
    blocks_.clear();
    shown_ = running_;
    table_ = BuildCostTable(result, shown_);
    showTable();
    Chart1->showData(BuildChartData(table_, shown_, kMaxBars, kMaxStacks), Beall.Format);
    showNote(table_.note, false);
    const double seconds =
        static_cast<double>(QDateTime::currentMSecsSinceEpoch() - started_) / 1000.0;
    LblAllapot->setText(QStringLiteral("%1 csoport, %2 mp alatt")
                            .arg(table_.rows.size())
                            .arg(FormatAmount(seconds, QStringLiteral("0.00"))));
}

void Tfrm_Koltsegkimutatas::showTable() {
    model_->clear();
    QStringList titles;
    for (const CostColumn& c : table_.columns) titles << c.title;
    model_->setHorizontalHeaderLabels(titles);
    const auto addRow = [this](const std::vector<QVariant>& cells, int rank, bool totals) {
        QList<QStandardItem*> items;
        for (size_t c = 0; c < table_.columns.size(); ++c) {
            const CellKind kind = table_.columns[c].kind;
            const QVariant value = c < cells.size() ? cells[c] : QVariant();
            auto* item = new QStandardItem(CellText(value, kind, Beall.Format));
            item->setEditable(false);
            item->setData(kind == CellKind::Text ? QVariant(rank) : value, kSortRole);
            if (kind != CellKind::Text) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (totals) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            items << item;
        }
        items.front()->setData(totals, kTotalsRole);
        model_->appendRow(items);
    };
    for (const CostTableRow& row : table_.rows) addRow(row.cells, row.rank, false);
    if (!table_.rows.empty()) addRow(table_.totals, 0, true);
    DBGrid1->sortByColumn(-1, Qt::AscendingOrder);
    proxy_->sort(-1);
    DBGrid1->resizeColumnsToContents();
}

void Tfrm_Koltsegkimutatas::showNote(const QString& text, bool problem) {
    LblMegjegyzes->setStyleSheet(problem ? QStringLiteral("color: #b00000; font-weight: bold;")
                                         : QString());
    LblMegjegyzes->setText(text);
}

void Tfrm_Koltsegkimutatas::openRow(int tableRow, int column) {
    if (tableRow < 0 || tableRow >= static_cast<int>(table_.rows.size())) return;
    const CostTableRow& row = table_.rows[static_cast<size_t>(tableRow)];
    std::optional<GroupValue> second;
    QString caption = row.cells[0].toString();
    if (column >= 0 && column < static_cast<int>(table_.columns.size()) &&
        table_.columns[static_cast<size_t>(column)].second) {
        second = table_.columns[static_cast<size_t>(column)].second;
        caption += QStringLiteral(" – ") + table_.columns[static_cast<size_t>(column)].title;
    }
    KoltsegMunkalapok(OrdersSql(shown_, row.first, second), caption, this);
}

void Tfrm_Koltsegkimutatas::openBar(int bar, int stack) {
    const ChartData& chart = Chart1->data();
    if (bar < 0 || bar >= static_cast<int>(chart.bars.size())) return;
    const ChartBar& b = chart.bars[static_cast<size_t>(bar)];
    if (b.rest) {
        InfoBox(QStringLiteral("Az „Egyéb” oszlop a kisebb csoportokat foglalja össze; "
                               "munkalapjaik a táblázat soraiból nyithatók meg."),
                this);
        return;
    }
    std::optional<GroupValue> second;
    QString caption = b.label;
    if (stack >= 0 && stack < static_cast<int>(chart.stackValues.size()) &&
        chart.stackValues[static_cast<size_t>(stack)]) {
        second = chart.stackValues[static_cast<size_t>(stack)];
        caption += QStringLiteral(" – ") + chart.stackNames[static_cast<size_t>(stack)];
    }
    KoltsegMunkalapok(OrdersSql(shown_, b.first, second), caption, this);
}

void Tfrm_Koltsegkimutatas::aExcelbeExecute() {
    const QString file =
        ChooseSaveFile(this, QStringLiteral("Excelbe"), QStringLiteral("Koltsegkimutatas.xlsx"),
                       {QStringLiteral("Excel munkafüzet (*.xlsx)")}, QStringLiteral("xlsx"));
    if (file.isEmpty()) return;
    SaveTableXlsx(table_, Beall.Format, file);
    InfoBox(QDir::toNativeSeparators(file) + QStringLiteral(" file kész."), this);
}

void Tfrm_Koltsegkimutatas::aCsvExecute() {
    const QString file =
        ChooseSaveFile(this, QStringLiteral("CSV-be"), QStringLiteral("Koltsegkimutatas.csv"),
                       {QStringLiteral("CSV állomány (*.csv)")}, QStringLiteral("csv"));
    if (file.isEmpty()) return;
    SaveTableCsv(table_, Beall.Format, file);
    InfoBox(QDir::toNativeSeparators(file) + QStringLiteral(" file kész."), this);
}

void Tfrm_Koltsegkimutatas::aGrafikonExecute() {
    const QString file = ChooseSaveFile(
        this, QStringLiteral("Grafikon mentése"), QStringLiteral("Koltsegkimutatas.png"),
        {QStringLiteral("PNG kép (*.png)"), QStringLiteral("PDF állomány (*.pdf)")},
        QStringLiteral("png"));
    if (file.isEmpty()) return;
    SaveChart(*Chart1, file);
    InfoBox(QDir::toNativeSeparators(file) + QStringLiteral(" file kész."), this);
}

void Tfrm_Koltsegkimutatas::aNyomtatExecute() {
    const QString status = ComboStatusz->currentText();
    const QString contractor = ComboVallalkozo->currentText();
    PrintCostReport(table_, ParametersText(shown_, status, contractor), *Chart1, this);
}

void Tfrm_Koltsegkimutatas::done(int result) {
    fetcher_.abandon();
    Guarded(this, [this] {
        writeSettings();
        StoreWindowPlacement(this, kSection);
    });
    QDialog::done(result);
}

void Koltsegkimutatas(int registerYear) {
    QWidget* owner = QApplication::activeWindow();
    Guarded(owner, [&] {
        Tfrm_Koltsegkimutatas window(registerYear, owner);
        window.exec();
    });
}

}  // namespace zomi::costreport

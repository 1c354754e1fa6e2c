#include "ui/ListSearch.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QTableView>
#include <QTimer>

#include "common/SearchFilter.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/GridLink.h"

namespace zomi {

void MarkSortColumn(dbaccess::DatasetModel* model, int column) {
    model->setHighlightedColumn(column, QVariant(HighlightColor()));
}

void SetUpListGrid(QTableView* grid) {
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setTabKeyNavigation(false);
    grid->setWordWrap(false);
    grid->horizontalHeader()->setSectionsClickable(true);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Whole-row selection stays visible when the search box has the focus.
    QPalette palette = grid->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    grid->setPalette(palette);
}

ListSearch::ListSearch(QLineEdit* edit, QTableView* grid, dbaccess::Query* query,
                       dbaccess::DatasetModel* model, QWidget* owner)
    : QObject(owner), edit_(edit), grid_(grid), query_(query), model_(model), owner_(owner) {
    edit_->installEventFilter(this);
    grid_->installEventFilter(this);
    connect(edit_, &QLineEdit::textChanged, this,
            [this] { Guarded(owner_, [this] { search(); }); });
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { Guarded(owner_, [this, column] { orderByColumn(column); }); });
    link_ = new GridLink(grid_, query_, model_, owner_);
}

void ListSearch::setCounter(std::function<void(const QString&)> counter) {
    link_->setCounter(std::move(counter));
}

void ListSearch::reopen() {
    if (live_) {
        live_->open(baseFilter_, edit_->text(), sortField_);
        return;
    }
    const QString filter = BuildSearchFilter(searchFields_, edit_->text(), true);
    query_->close();
    ReplaceWhere(query_->sql(), baseFilter_ + filter, true);
    query_->open();
}

void ListSearch::search() {
    const QString text = edit_->text();
    if (live_) {
        // The list moves to the first row beginning with the text itself,
        // once it has found the rows.
        live_->setSearchText(text, sortField_);
        return;
    }
    reopen();
    if (text.isEmpty() || sortField_.isEmpty()) return;
    try {
        query_->locate(sortField_, text, {true, true});
    } catch (const dbaccess::DbError&) {
        // The text need not fit the sort column (a number column, a date):
        // the list then simply stays on its first row.
    }
}

bool ListSearch::selectValue(const QString& field, const QVariant& value) {
    try {
        return query_->locate(field, value);
    } catch (const dbaccess::DbError&) {
        return false;
    }
}

void ListSearch::orderByColumn(int column) {
    if (!sortsOnTitleClick_) {
        edit_->setFocus();
        return;
    }
    const int fieldIndex = model_->fieldOfColumn(column);
    if (fieldIndex < 0) return;
    sortField_ = query_->field(fieldIndex).name;
    if (live_) {
        live_->setSortField(sortField_);
    } else {
        query_->close();
        ReplaceOrderBy(query_->sql(), sortField_);
        query_->open();
    }
    MarkSortColumn(model_, column);
    edit_->setFocus();
}

bool ListSearch::startsSearch(const QString& typed) const {
    if (typed.size() != 1) return false;
    const QChar c = typed.at(0).toLower();
    if (c.isDigit() || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))) return true;
    return QStringLiteral("áéíóöőúüű").contains(c);
}

bool ListSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain =
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (plain && startsSearch(key->text())) {
            // The typed letter must stay unselected so that typing goes on after it.
            typingFromGrid_ = true;
            edit_->setFocus();
            typingFromGrid_ = false;
            edit_->setText(key->text().toLower());
            edit_->setCursorPosition(static_cast<int>(edit_->text().size()));
            return true;
        }
        // Any other character (punctuation, a blank) does nothing here; the
        // grid's own type-to-search would jump to a row starting with it.
        if (plain && !key->text().isEmpty() && key->text().at(0).isPrint()) return true;
    } else if (watched == edit_ && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
                grid_->setFocus();
                return true;
            default:
                break;
        }
    } else if (watched == edit_ && event->type() == QEvent::FocusIn && !typingFromGrid_) {
        // After the click that gave the focus, or the caret would undo it.
        QTimer::singleShot(0, edit_, [edit = edit_] { edit->selectAll(); });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace zomi

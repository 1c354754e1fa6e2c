#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <atomic>
#include <bitset>
#include <deque>
#include <functional>
#include <vector>

#include "dbaccess/Connection.h"
#include "dbaccess/Field.h"
#include "dbaccess/ResultSet.h"

namespace zomi::dbaccess {

// Date and time display of every grid and export of the application.
extern const QString kDateDisplayFormat;
extern const QString kTimeDisplayFormat;
extern const QString kDateTimeDisplayFormat;

struct LocateOptions {
    bool caseInsensitive = false;
    bool partial = false;
};

// Whether a cell made only of these bytes could begin with the text, case
// ignored as a partial locate ignores it: a number column holds no letter.
bool PrefixCanBeginWithin(const QString& prefix, const std::bitset<256>& bytes);

// Whether a cell's stored bytes begin with a text, case ignored as a partial
// locate ignores it, without decoding the cell.
class FoldedPrefix {
  public:
    explicit FoldedPrefix(const QString& prefix);
    bool begins(const char* cell, unsigned long length) const;

  private:
    QString key_;
};

// Rows fetched from the server with a current-row cursor, the way every window
// of the application works with data: open, move, read fields, and (for
// editable tables) edit, post and cancel. Values are QVariant; a null QVariant
// is SQL NULL. Rows are kept as the server sent them and decoded on demand.
class Dataset : public QObject {
    Q_OBJECT

  public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit Dataset(Connection* connection, QObject* parent = nullptr);
    ~Dataset() override;

    Connection* connection() const { return connection_; }
    void setConnection(Connection* connection) { connection_ = connection; }

    void open();
    void close();
    bool isOpen() const { return state_ != State::Inactive; }
    // Fetches the rows again and stays on the same row (by key when known).
    void refresh();

    // The column whose value identifies a row, for refresh and the windows.
    void setKeyField(const QString& name) { keyField_ = name; }
    QString keyField() const;

    int recordCount() const { return static_cast<int>(rows_.size()); }
    bool isEmpty() const { return rows_.empty(); }
    int currentRow() const { return current_; }  // 0-based; -1 when empty
    int recNo() const { return current_ + 1; }   // 1-based; 0 when empty
    bool eof() const { return eof_; }
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int row);
    // Moves to the first row matching the value; stays put when none does.
    // A value that cannot be compared with the field raises DbError::kLocate.
    bool locate(const QString& fieldName, const QVariant& value, LocateOptions options = {},
                int fromRow = 0);

    // For lists whose rows come from elsewhere (a fetch in the background,
    // rows narrowed or ordered on the client): these rows are shown from now
    // on, kept alive by the holders, with the current row given (-1 for
    // none). A closed dataset opens with them.
    using RowHolder = std::shared_ptr<const void>;
    void present(const std::vector<Field>& fields, std::vector<RowRef> rows,
                 std::vector<RowHolder> holders, int current);
    // Rows added after the last, as they arrive; the first becomes current
    // when there was none.
    void appendRows(const std::vector<RowRef>& rows, const RowHolder& holder);
    const std::vector<RowRef>& rows() const { return rows_; }
    const std::vector<RowHolder>& rowHolders() const { return results_; }
    // The first of the rows from `from` whose cell of the column begins with
    // the prefix, case ignored; -1 when none does, or when cancelled was set
    // meanwhile. Safe in any thread while the rows and their bytes live.
    static long long FirstWithPrefix(const std::vector<RowRef>& rows, size_t column,
                                     const QString& prefix, size_t from,
                                     const std::atomic<bool>* cancelled = nullptr);

    int fieldCount() const { return static_cast<int>(fields_.size()); }
    const Field& field(int index) const { return fields_.at(static_cast<size_t>(index)); }
    Field& field(int index) { return fields_.at(static_cast<size_t>(index)); }
    int fieldIndex(const QString& name) const;  // -1 when there is no such field
    Field& fieldByName(const QString& name);
    QStringList fieldNames() const;

    // The current row's value, the edit buffer's while editing.
    QVariant value(int column) const;
    QVariant value(const QString& name) const;
    bool isNull(const QString& name) const { return value(name).isNull(); }

    // Stored values of any row, for grids and exports.
    QVariant valueAt(int row, int column) const;
    bool isNullAt(int row, int column) const;
    // The value as the server wrote it (decoded as code page 1250), "" for NULL.
    QString textAt(int row, int column) const;
    // The value in the field's display form.
    QString displayText(int row, int column) const { return formatted(row, column, true); }
    // The value as text without the field's display format (dates and times
    // still in the display forms), as exports and the clipboard write it.
    QString asText(int row, int column) const { return formatted(row, column, false); }

    State state() const { return state_; }
    void edit();
    void append();
    void insert();
    void setValue(int column, const QVariant& value);
    void setValue(const QString& name, const QVariant& value);
    void post();
    void cancel();
    void remove();

    // Runs before every post; throwing from it stops the post, the row stays in editing.
    void setBeforePost(std::function<void(Dataset&)> handler) { beforePost_ = std::move(handler); }

  signals:
    void afterOpen();
    void afterClose();
    void afterScroll();
    // For views over the rows: each change is announced before and after.
    void aboutToReset();
    void rowsReset();
    void rowChanged(int row);
    void aboutToInsertRow(int row);
    void rowInserted(int row);
    void aboutToRemoveRow(int row);
    void rowRemoved(int row);
    void aboutToAppendRows(int first, int last);
    void rowsAppended();

  protected:
    virtual ResultSetPtr fetch() = 0;
    virtual bool editable() const { return false; }
    // Each returns the row as the server now holds it, when it can read it back.
    virtual ResultSetPtr applyInsert(const std::vector<QVariant>& values,
                                     const std::vector<bool>& assigned);
    virtual ResultSetPtr applyUpdate(int row, const std::vector<QVariant>& values);
    virtual void applyDelete(int row);

    QString literal(int column, const QVariant& value) const;
    QString formatted(int row, int column, bool withFormat) const;
    QString quotedName(const QString& name) const;
    int keyColumn() const;
    void requireConnection() const;

  private:
    void load(const ResultSetPtr& result);
    void adoptFields(std::vector<Field> fields);
    void setCurrent(int row);
    RowRef ownRow(const std::vector<QVariant>& values);
    void replaceRow(int row, const ResultSetPtr& reread, const std::vector<QVariant>& values);
    void requireBrowse(const char* operation) const;
    bool matches(int row, int column, const QVariant& wanted, LocateOptions options) const;
    // The first row from fromRow whose text begins with the prefix, ignoring
    // case; -1 when none does.
    int firstWithPrefix(int column, const QString& prefix, int fromRow) const;
    QVariant convertForLocate(int column, const QVariant& value) const;

    Connection* connection_;
    QString keyField_;
    State state_ = State::Inactive;
    std::vector<Field> fields_;
    std::vector<RowRef> rows_;
    std::vector<RowHolder> results_;  // keep the fetched bytes alive
    std::deque<PackedRows> ownedRows_;
    int current_ = -1;
    bool eof_ = true;
    std::vector<QVariant> buffer_;
    std::vector<bool> assigned_;
    int insertedRow_ = -1;
    int rowBeforeInsert_ = -1;
    std::function<void(Dataset&)> beforePost_;
};

// A read-only query. Its text is held as lines so that list windows can
// replace their WHERE and ORDER lines; ":name" parameters are filled in as
// SQL literals when it opens.
class Query : public Dataset {
    Q_OBJECT

  public:
    using Dataset::Dataset;

    QStringList& sql() { return sql_; }
    const QStringList& sql() const { return sql_; }
    void setSql(const QStringList& lines) { sql_ = lines; }
    void setSql(const QString& text) { sql_ = text.split(QLatin1Char('\n')); }
    void setParam(const QString& name, const QVariant& value) { params_[name] = value; }
    QString expandedSql() const;

  protected:
    ResultSetPtr fetch() override;

  private:
    QStringList sql_;
    QMap<QString, QVariant> params_;
};

// A whole table (optionally ordered) whose rows can be edited and posted.
// Posting an edited row names the key and the original values of the columns
// it changes, so that a change another workstation made since the row was
// read is never silently overwritten: such a post is refused.
class Table : public Dataset {
    Q_OBJECT

  public:
    using Dataset::Dataset;

    void setTableName(const QString& name) { tableName_ = name; }
    const QString& tableName() const { return tableName_; }
    void setOrderBy(const QString& orderBy) { orderBy_ = orderBy; }
    // The row being edited differs from the one read, so that post sends an
    // UPDATE; a post without changes sends nothing at all.
    bool editChangesRow() const;

  protected:
    ResultSetPtr fetch() override;
    bool editable() const override { return true; }
    ResultSetPtr applyInsert(const std::vector<QVariant>& values,
                             const std::vector<bool>& assigned) override;
    ResultSetPtr applyUpdate(int row, const std::vector<QVariant>& values) override;
    void applyDelete(int row) override;

  private:
    QString keyCondition(int row) const;
    QString originalCondition(int row, int column) const;
    ResultSetPtr reread(const QString& condition);

    QString tableName_;
    QString orderBy_;
};

}  // namespace zomi::dbaccess

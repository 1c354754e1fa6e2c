#pragma once

// What each workstation writes down as it works, one line per event, flushed
// at once so that nothing is lost when the process is stopped: the latency
// of each action, each save with the values it sent and how it ended, each
// new work order, each delete and each message the user would have read.
// The run reads every workstation's journal back to report and to check.

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <vector>

namespace zomi::load {

// How a write ended as the workstation was told.
enum class Outcome {
    Acknowledged,  // stored, as far as the program knows
    Conflict,      // refused: another workstation changed the row first
    Deleted,       // refused: another workstation deleted the row
    Unknown,       // an error: stored or not, the workstation cannot know
};

struct ActionRecord {
    QString action;
    double ms = 0;
    QString error;       // empty when the action succeeded
    qint64 endedAt = 0;  // milliseconds since the epoch, comparable between workstations
};

// A change of an existing row, told apart by a value no other change sends:
// the row held `before` when the workstation read it, and the change wrote
// `after` and the checked values.
struct SaveRecord {
    QString table;  // zomi or vallalkozo
    int key = 0;
    QString before;
    QString after;
    Outcome outcome = Outcome::Unknown;
    QString deadline;  // work orders: hatar_datum as yyyy-MM-dd
    QString total;     // work orders: ossz
};

struct InsertRecord {
    int key = 0;  // 0 when the program did not learn it
    QString job;  // munka, unique to the insert
    QString fee;  // munkadij1, the first value of its changes
    Outcome outcome = Outcome::Unknown;
    QString deadline;
    QString total;
    int year = 0;
    int serial = 0;
};

struct DeleteRecord {
    int key = 0;
    Outcome outcome = Outcome::Unknown;
};

struct MessageRecord {
    QString kind;
    QString text;
};

struct Journal {
    std::vector<ActionRecord> actions;
    std::vector<SaveRecord> saves;
    std::vector<InsertRecord> inserts;
    std::vector<DeleteRecord> deletes;
    std::vector<MessageRecord> messages;
};

class JournalWriter {
  public:
    explicit JournalWriter(const QString& path);
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    void action(const ActionRecord& record);
    void save(const SaveRecord& record);
    void insert(const InsertRecord& record);
    void remove(const DeleteRecord& record);
    void message(const MessageRecord& record);

  private:
    void line(const QStringList& cells);
    std::FILE* file_;
};

// Adds the journal file's records to the journal.
void ReadJournal(const QString& path, Journal& into);

// A double as a token: one text for one value, whatever wrote it.
QString NumberToken(double value);
// The server's text of a DOUBLE column (or "" for NULL) as a token.
QString NumberTokenOfText(const QString& text, bool isNull);

}  // namespace zomi::load

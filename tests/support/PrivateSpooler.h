#pragma once

// A CUPS spooler of the test's own: cupsd on a free loopback port, with its
// configuration, spool, state and logs in a temporary folder, so that a test
// prints through the real spooler without touching the machine's printers.
// While it runs, CUPS_SERVER points Qt and libcups at it.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace zomi::test {

class PrivateSpooler {
  public:
    // Starts the spooler and waits until it answers; see started().
    PrivateSpooler();
    ~PrivateSpooler();
    PrivateSpooler(const PrivateSpooler&) = delete;
    PrivateSpooler& operator=(const PrivateSpooler&) = delete;

    // Whether the spooler runs; when not, why (for the test's skip message).
    bool started() const { return problem_.isEmpty(); }
    const QString& problem() const { return problem_; }

    // A queue that writes every job, as it arrives, into the file (replacing it).
    bool addFileQueue(const QString& name, const QString& file);
    // A queue whose printer never answers: jobs wait in it.
    bool addDeadQueue(const QString& name);
    // A queue that refuses every job (cupsreject).
    bool addRejectingQueue(const QString& name);

    // The spooler's error log, for a failing test's message.
    QString log() const;

  private:
    bool start();
    bool writeConfiguration();
    bool addQueue(const QString& name, const QString& deviceUri);
    // Runs a CUPS client program against this spooler; false with problem_ set
    // when it fails.
    bool runClient(const QString& program, const QStringList& arguments);

    QTemporaryDir dir_;
    quint16 port_ = 0;
    QProcess cupsd_;
    QString problem_;
    QByteArray previousServer_;
    bool hadServer_ = false;
};

}  // namespace zomi::test

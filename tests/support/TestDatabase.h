#pragma once

#include <QString>
#include <memory>

#include "dbaccess/Connection.h"

namespace zomi::test {

// A database of its own for one test on the private test server, created
// from the schema (or empty) and dropped again at the end of the test.
// The server is the one scripts/dbserver starts; ZOMI_DB_HOST, ZOMI_DB_PORT,
// ZOMI_DB_USER and ZOMI_DB_PASSWORD point elsewhere.
class TestDatabase {
  public:
    enum class Content { Empty, Schema, Demo };

    explicit TestDatabase(Content content = Content::Schema);
    // The same on another server (LaxServer::params()).
    TestDatabase(Content content, const dbaccess::ConnectionParams& server);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const QString& name() const { return name_; }
    dbaccess::ConnectionParams params() const;
    std::unique_ptr<dbaccess::Connection> connect() const;
    // Runs an SQL file through the command-line client (it understands DELIMITER).
    void loadFile(const QString& path, int attempt = 1) const;

    static dbaccess::ConnectionParams serverParams();
    // Whether the server is a node of a Galera cluster, where a test that
    // needs one server by nature (it changes a server-wide setting, restarts
    // the server, or holds a lock that only one node knows) skips itself.
    static bool onCluster();
    static QString sourceDir();

  private:
    std::unique_ptr<dbaccess::Connection> serverConnection() const;

    dbaccess::ConnectionParams server_;
    QString name_;
};

// Opens the connection. On a cluster a database or an account made a
// moment ago through another node may not have reached this session's node
// yet: it is waited for, a few seconds at most.
void OpenWhenReplicated(dbaccess::Connection& connection);

// Kills the session with the id (KILL, or KILL QUERY when queryOnly) as
// another session of the same database would. On a cluster an id is known
// only to the node that runs the session: the kill goes to that node, found
// by the id and the database among the nodes' own ports.
void KillSession(dbaccess::Connection& by, unsigned long id, bool queryOnly = false);
// The same for a session idle on this thread, whose node is asked of the
// session itself: the same id may name sessions of one database on two nodes.
void KillSession(dbaccess::Connection& by, dbaccess::Connection& victim);

// Every base table's rows in the order of its first column, as one digest of
// their bytes per table: "table=digest table=digest ...".
QString TableDigests(dbaccess::Connection& connection);

}  // namespace zomi::test

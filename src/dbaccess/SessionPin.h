#pragma once

// Work that must stay in one session, such as a transaction that is to be
// whole or not at all, pins the connection's session while it runs. A lost
// session then fails the statement instead of being replaced by a new one,
// in which the statement would run on its own (in autocommit mode, without
// the settings and the transaction of the lost one). Once the pin is gone,
// the next statement replaces a lost session as always.

namespace zomi::dbaccess {

class Connection;

class SessionPin {
  public:
    explicit SessionPin(Connection& connection);
    ~SessionPin();
    SessionPin(const SessionPin&) = delete;
    SessionPin& operator=(const SessionPin&) = delete;

  private:
    Connection& connection_;
};

bool IsPinned(const Connection* connection);

}  // namespace zomi::dbaccess

#pragma once

// A relay on the loopback interface between the program and a server, for a
// branch office's line on this machine: each direction is held back by the
// chosen time, and the round trips are counted (one round trip is the
// client's bytes followed by the server's answer). It can also cut the line
// once, right after the server answered a statement holding given text, as
// a line that fails between a write and its COMMIT.

#include <QByteArray>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace zomi::test {

class SlowLine {
  public:
    // Listens on 127.0.0.1 at a port of its own and forwards each connection
    // to the target, a loopback address only.
    SlowLine(const QByteArray& targetHost, unsigned targetPort, int delayEachWayMs = 0);
    ~SlowLine();
    SlowLine(const SlowLine&) = delete;
    SlowLine& operator=(const SlowLine&) = delete;

    unsigned port() const { return port_; }
    void setDelay(int eachWayMs) { delayMs_ = eachWayMs; }
    // Round trips of every connection since the last reset.
    long roundTrips() const { return roundTrips_.load(); }
    void resetRoundTrips() { roundTrips_ = 0; }
    // Once a client's bytes held the text, the connection is closed both
    // ways right after the server's next answer has been passed on.
    void cutAfterAnswerTo(const QByteArray& text);
    // The same, but the server's answer is dropped: the line fails while
    // the statement runs, as when its server dies.
    void cutBeforeAnswerTo(const QByteArray& text);
    bool cutDone() const { return cutDone_.load(); }

  private:
    void acceptLoop();
    void relay(int client, int server);
    // Whether the bytes hold the text to cut after, and whether that cut
    // drops the answer.
    bool takeCut(const QByteArray& bytes, bool& dropsAnswer);

    int listener_ = -1;
    unsigned port_ = 0;
    QByteArray host_;
    unsigned targetPort_;
    std::atomic<int> delayMs_;
    std::atomic<long> roundTrips_{0};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> cutDone_{false};
    std::mutex cutMutex_;
    QByteArray cutText_;
    bool cutDropsAnswer_ = false;
    std::thread acceptor_;
    std::mutex threadsMutex_;
    std::vector<std::thread> relays_;
};

}  // namespace zomi::test

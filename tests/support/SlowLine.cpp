#include "support/SlowLine.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QHostAddress>
#include <chrono>
#include <deque>
#include <stdexcept>

namespace zomi::test {

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk {
    Clock::time_point due;
    QByteArray bytes;
};

int connectTo(const QByteArray& host, unsigned port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, host.constData(), &address.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

bool sendAll(int fd, const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + sent,
                                 static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += n;
    }
    return true;
}

}  // namespace

SlowLine::SlowLine(const QByteArray& targetHost, unsigned targetPort, int delayEachWayMs)
    : host_(targetHost), targetPort_(targetPort), delayMs_(delayEachWayMs) {
    if (!QHostAddress(QString::fromLatin1(targetHost)).isLoopback())
        throw std::invalid_argument("the relay forwards to loopback addresses only");
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 64) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("the relay cannot listen");
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

SlowLine::~SlowLine() {
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
    acceptor_.join();
    std::lock_guard<std::mutex> lock(threadsMutex_);
    for (std::thread& t : relays_) t.join();
}

void SlowLine::cutAfterAnswerTo(const QByteArray& text) {
    std::lock_guard<std::mutex> lock(cutMutex_);
    cutText_ = text;
    cutDropsAnswer_ = false;
    cutDone_ = false;
}

void SlowLine::cutBeforeAnswerTo(const QByteArray& text) {
    cutAfterAnswerTo(text);
    std::lock_guard<std::mutex> lock(cutMutex_);
    cutDropsAnswer_ = true;
}

bool SlowLine::takeCut(const QByteArray& bytes, bool& dropsAnswer) {
    std::lock_guard<std::mutex> lock(cutMutex_);
    if (cutText_.isEmpty() || !bytes.contains(cutText_)) return false;
    cutText_.clear();
    dropsAnswer = cutDropsAnswer_;
    cutDropsAnswer_ = false;
    return true;
}

void SlowLine::acceptLoop() {
    while (!stopping_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) continue;
        const int server = connectTo(host_, targetPort_);
        if (server < 0) {
            ::close(client);
            continue;
        }
        const int on = 1;
        ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        std::lock_guard<std::mutex> lock(threadsMutex_);
        relays_.emplace_back([this, client, server] { relay(client, server); });
    }
}

// Both directions of one connection: what arrives waits in its queue until
// its time has come, so that each direction is late by the delay however
// the bytes are split.
void SlowLine::relay(int client, int server) {
    std::deque<Chunk> toServer;
    std::deque<Chunk> toClient;
    bool clientSpoke = false;  // the client's bytes since the server's last answer
    bool cutPending = false;
    bool cutDropsAnswer = false;
    bool open = true;
    char buffer[65536];
    while (open && !stopping_) {
        const auto now = Clock::now();
        for (auto* queue : {&toServer, &toClient}) {
            while (!queue->empty() && queue->front().due <= now) {
                const int target = queue == &toServer ? server : client;
                const bool cutNow = queue == &toClient && cutPending;
                // The answer and the end of the line arrive together, so that
                // the client learns of both before it sends anything more.
                if (cutNow) {
                    ::shutdown(server, SHUT_RDWR);
                    const int on = 1;
                    ::setsockopt(client, IPPROTO_TCP, TCP_CORK, &on, sizeof on);
                }
                if (!sendAll(target, queue->front().bytes)) open = false;
                queue->pop_front();
                if (cutNow) {
                    ::shutdown(client, SHUT_WR);
                    cutDone_ = true;
                    open = false;
                }
            }
        }
        if (!open) break;
        int timeout = 100;
        for (auto* queue : {&toServer, &toClient})
            if (!queue->empty())
                timeout = std::min<int>(
                    timeout, static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  queue->front().due - now)
                                                  .count()) +
                                 1);
        pollfd p[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        if (::poll(p, 2, std::max(0, timeout)) <= 0) continue;
        for (int side = 0; side < 2; ++side) {
            if (!(p[side].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = ::recv(p[side].fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                open = false;
                break;
            }
            const QByteArray bytes(buffer, static_cast<qsizetype>(n));
            const auto due = Clock::now() + std::chrono::milliseconds(delayMs_.load());
            if (side == 0) {
                clientSpoke = true;
                if (takeCut(bytes, cutDropsAnswer)) cutPending = true;
                toServer.push_back({due, bytes});
            } else if (cutPending && cutDropsAnswer) {
                cutDone_ = true;
                open = false;
                break;
            } else {
                if (clientSpoke) ++roundTrips_;
                clientSpoke = false;
                toClient.push_back({due, bytes});
            }
        }
    }
    ::shutdown(client, SHUT_RDWR);
    ::shutdown(server, SHUT_RDWR);
    ::close(client);
    ::close(server);
}

}  // namespace zomi::test

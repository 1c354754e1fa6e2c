#pragma once

#include "dbaccess/Connection.h"

namespace zomi::test {

// A second private server set up as servers that are not ours often are: no
// strict mode in its defaults, and TLS offered with a certificate of its own
// CA. It lives beside the first (its folder .dbserver-lax, its port the
// first's + 100, or ZOMI_LAX_DB_PORT) and is started when a test first needs
// it; tests may stop and start it, as a server restarted during the day.
class LaxServer {
  public:
    static dbaccess::ConnectionParams params();
    // The CA that signed the server's certificate.
    static QString caFile();
    static void start();
    static void stop();
};

}  // namespace zomi::test

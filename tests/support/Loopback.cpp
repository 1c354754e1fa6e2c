#include "support/Loopback.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netdb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zomi::test {

void PointVendorAt(const QString& baseUrl) { qputenv("ZOMI_VENDOR_URL", baseUrl.toUtf8()); }

void PointVendorAtClosedPort() { qputenv("ZOMI_VENDOR_URL", kClosedVendorUrl); }

bool MayLookUp(const char* name) {
    if (std::strcmp(name, "localhost") == 0) return true;
    in_addr v4{};
    if (inet_pton(AF_INET, name, &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (inet_pton(AF_INET6, name, &v6) == 1) return IN6_IS_ADDR_LOOPBACK(&v6);
    // Read anew each time: a test may name another database server.
    const char* databaseHost = std::getenv("ZOMI_DB_HOST");
    return databaseHost && *databaseHost && std::strcmp(name, databaseHost) == 0;
}

namespace {

// Before main: every test and benchmark starts with the closed port.
[[maybe_unused]] const bool kVendorPointed = [] {
    PointVendorAtClosedPort();
    return true;
}();

using GetAddrInfo = int (*)(const char*, const char*, const addrinfo*, addrinfo**);

GetAddrInfo systemGetAddrInfo() {
    static const GetAddrInfo real = [] {
        void* symbol = dlsym(RTLD_NEXT, "getaddrinfo");
        GetAddrInfo function = nullptr;
        static_assert(sizeof(function) == sizeof(symbol));
        std::memcpy(&function, &symbol, sizeof(function));
        return function;
    }();
    return real;
}

}  // namespace

}  // namespace zomi::test

// The program's own getaddrinfo stands before the C library's, for Qt, the
// database client and libcups alike.
extern "C" int getaddrinfo(const char* __restrict name, const char* __restrict service,
                           const addrinfo* __restrict hints, addrinfo** __restrict result) {
    if (name && !zomi::test::MayLookUp(name)) {
        std::fprintf(stderr,
                     "\n*** This test or benchmark looked up \"%s\": tests and benchmarks may "
                     "reach only the loopback addresses (tests/support/Loopback.h).\n",
                     name);
        std::fflush(stderr);
        std::abort();
    }
    return zomi::test::systemGetAddrInfo()(name, service, hints, result);
}

#pragma once

// Tests and benchmarks reach nothing beyond this machine, whatever network it
// has. Every program built under tests/ and bench/ carries this file's code
// (CMake links it into each of them, so that a new one cannot go without it):
// when the program starts it points the vendor's web server (ZOMI_VENDOR_URL)
// at a closed local port, and its name service stops the program, loudly, on
// any name but the loopback's. The program itself, without the variable,
// asks the vendor's server as it always does.

#include <QString>

namespace zomi::test {

// Nothing listens on port 1: a request there is refused at once.
inline constexpr char kClosedVendorUrl[] = "http://127.0.0.1:1";

// The vendor's web server at this address: a local stub server, for a test
// of the notices.
void PointVendorAt(const QString& baseUrl);
// Back to the closed local port every test and benchmark starts with.
void PointVendorAtClosedPort();

// Whether a test or benchmark may look the name up: "localhost", a loopback
// address, or the database host the tests were given (ZOMI_DB_HOST).
bool MayLookUp(const char* name);

}  // namespace zomi::test

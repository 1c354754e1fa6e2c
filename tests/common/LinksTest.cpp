#include <gtest/gtest.h>

#include "common/Links.h"

namespace zomi {
namespace {

bool opens(const char* text) { return OpenableLink(QString::fromUtf8(text)).isValid(); }

TEST(Links, WebAndMailAddressesOpen) {
    EXPECT_TRUE(opens("https://www.tarvelo.hu/hirek?id=3"));
    EXPECT_TRUE(opens("HTTP://example.com"));
    EXPECT_TRUE(opens("  http://127.0.0.1:8080/a b  "));
    EXPECT_TRUE(opens("mailto:ugyfelszolgalat@tarvelo.hu?subject=Zomi program"));
    EXPECT_EQ(OpenableLink(QStringLiteral("www.tarvelo.hu")).toString(),
              QStringLiteral("http://www.tarvelo.hu"));
}

// What the desktop's opener would run or read: local files and programs,
// other handlers, addresses without a host.
TEST(Links, EverythingElseIsNotOpened) {
    for (const char* text :
         {"file:///tmp/evil.sh", "FILE:/etc/passwd", "/tmp/evil.sh", "evil.sh", "~/evil.sh",
          "javascript:alert(1)", "smb://server/share/x.exe", "ftp://example.com/x", "vbscript:x",
          "data:text/html,<b>x</b>", "http://", "https:///etc/passwd", "mailto:", "", " ",
          "http//example.com", "\\\\server\\share\\x.exe", "C:\\Windows\\x.exe"}) {
        EXPECT_FALSE(opens(text)) << text;
    }
}

}  // namespace
}  // namespace zomi

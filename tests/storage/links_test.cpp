#include "storage/links.hpp"

#include "platform/link_opener.hpp"
#include "storage/score_server.hpp"
#include "temp_folder.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vantorel {
namespace {

TEST(Links, ExitLinkOpensOnlyWebAddresses) {
    struct Case {
        const char* Label;
        std::string Bytes;
        std::optional<std::string> Address;
    };
    const Case cases[] = {
        {"http", "[InternetShortcut]\r\nURL=http://example.org/play\r\n",
         "http://example.org/play"},
        {"https", "[InternetShortcut]\r\nURL=https://example.org/?a=1&b=2\r\n",
         "https://example.org/?a=1&b=2"},
        {"key and scheme in any case", "[internetshortcut]\nurl = HTTPS://Example.org\n",
         "HTTPS://Example.org"},
        {"other keys first", "[InternetShortcut]\r\nIconIndex=0\r\nURL=http://a.b/\r\n",
         "http://a.b/"},
        {"no section", "URL=http://a.b/\r\n", "http://a.b/"},
        {"file address", "[InternetShortcut]\r\nURL=file:///usr/bin/xterm\r\n", std::nullopt},
        {"program path", "[InternetShortcut]\r\nURL=/usr/bin/xterm\r\n", std::nullopt},
        {"relative program", "[InternetShortcut]\r\nURL=run.sh\r\n", std::nullopt},
        {"other scheme", "[InternetShortcut]\r\nURL=javascript:alert(1)\r\n", std::nullopt},
        {"no host", "[InternetShortcut]\r\nURL=http:///etc/passwd\r\n", std::nullopt},
        {"blank inside", "[InternetShortcut]\r\nURL=http://a.b/ --arg\r\n", std::nullopt},
        {"URL in another section", "[Other]\r\nURL=http://a.b/\r\n", std::nullopt},
        {"no URL line", "[InternetShortcut]\r\nIconFile=x\r\n", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExitLinkAddress(c.Bytes), c.Address) << c.Label;
}

using LinksOnDisk = testing::TempFolderTest;

TEST_F(LinksOnDisk, ExitOpensTheLinkFilesWebAddressOnly) {
    TRecordingLinkOpener opener;
    EXPECT_FALSE(OpenExitLink(opener)); // no play.url
    EXPECT_TRUE(opener.Opened.empty());

    Write("play.url", "[InternetShortcut]\r\nURL=file:///bin/sh\r\n");
    EXPECT_FALSE(OpenExitLink(opener));
    EXPECT_TRUE(opener.Opened.empty());

    Write("play.url", "[InternetShortcut]\r\nURL=https://example.org/next\r\n");
    EXPECT_TRUE(OpenExitLink(opener));
    EXPECT_EQ(opener.Opened, std::vector<std::string>{"https://example.org/next"});
}

TEST(Links, WebPagesOpenEveryTime) {
    TRecordingLinkOpener opener;
    OpenMakerSite(opener);
    const TScoreServer server{"localhost", 8080};
    OpenWorldTable(opener, server);
    OpenWorldTable(opener, server);
    const std::string world = "http://localhost:8080/cgi/version.pl?prg=Vantorel&show&type=0";
    EXPECT_EQ(opener.Opened, (std::vector<std::string>{MakerHomePage, world, world}));
}

} // namespace
} // namespace vantorel

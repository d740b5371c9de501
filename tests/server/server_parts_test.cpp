// The score server's small parts: texts for the page and the JSON, dates, the
// log line, the command line and the config file.
#include "server/request_log.hpp"
#include "server/scores_json.hpp"
#include "server/server_options.hpp"
#include "server/web_text.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vantorel::server {
namespace {

// Json is the inside of the JSON string, as clients and pages that paste the JSON
// into a <script> have always read it.
TEST(WebText, HtmlAndJsonEscapeAndConvertToUtf8) {
    struct TCase {
        std::string In;
        std::string Html;
        std::string Json;
    };
    const std::vector<TCase> cases = {
        {"Ace 99", "Ace 99", "Ace 99"},
        {"<b>X</b>", "&lt;b&gt;X&lt;/b&gt;", "\\u003cb\\u003eX\\u003c/b\\u003e"},
        {"a&b\"c'd", "a&amp;b&quot;c&#39;d", "a\\u0026b\\\"c'd"},
        {"\\\t\n\x01", "\\\t\xEF\xBF\xBD\xEF\xBF\xBD", "\\\\\\t\\n\\u0001"},
        {"\xE9\x80\x9F", "\xC3\xA9\xE2\x82\xAC\xC5\xB8", "\xC3\xA9\xE2\x82\xAC\xC5\xB8"},
        {"\x81", "\xC2\x81", "\xC2\x81"},
        {"\b\f\x1F\x7F/", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD/",
         "\\u0008\\u000c\\u001f\\u007f/"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(HtmlText(c.In), c.Html) << c.In;
        EXPECT_EQ(RenderScoresJson({{7, c.In, -5, c.In, 0}}, 1),
                  "{\"scores\":[{\"rank\":1,\"name\":\"" + c.Json + "\",\"score\":-5,\"add\":\"" +
                      c.Json +
                      "\",\"date\":\"1970-01-01T00:00:00Z\",\"verified\":false,\"replay\":null}],"
                      "\"count\":1}")
            << c.In;
    }
    EXPECT_EQ(RenderScoresJson({}, 12'345'678'901), "{\"scores\":[],\"count\":12345678901}");
}

TEST(WebText, DatesAreUtc) {
    EXPECT_EQ(UtcDate(0), "1970-01-01");
    EXPECT_EQ(UtcDateTime(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(UtcDateTime(1'796'875'199), "2026-12-10T03:59:59Z");
    EXPECT_EQ(UtcDate(951'782'400), "2000-02-29");
    EXPECT_EQ(UtcDateTime(-1), "1969-12-31T23:59:59Z");
    EXPECT_EQ(UtcDate(INT64_MAX), "9999-12-31") << "a hand-edited time stays a date";
}

TEST(RequestLog, OneLineWithTheCodeShortened) {
    const std::string code(88, 'K');
    EXPECT_EQ(LogTarget("/cgi/version.pl?hs&prg=Vantorel&inf=" + code),
              "/cgi/version.pl?hs&prg=Vantorel&inf=KKKKKKKKKKKK...(88)");
    EXPECT_EQ(LogTarget("/cgi/version.pl?inf=ABC&x=1"), "/cgi/version.pl?inf=ABC&x=1");
    EXPECT_EQ(LogTarget("/x?info=" + code), "/x?info=" + code);
    EXPECT_EQ(LogTarget("/a\nb"), "/a?b");
    EXPECT_EQ(FormatLogLine(1'796'875'200'123, "127.0.0.1", "GET", "/healthz", 200, 154, ""),
              "2026-12-10T04:00:00.123Z 127.0.0.1 GET /healthz 200 154us");
    EXPECT_EQ(FormatLogLine(1'796'875'200'000, "::1", "GET", "/x", 400, 9, "wrong key"),
              "2026-12-10T04:00:00.000Z ::1 GET /x 400 9us (wrong key)");
}

TEST(ServerOptions, DefaultsAndEveryOption) {
    const TServerOptionsParse none = ParseServerOptions({});
    ASSERT_TRUE(none.Options);
    EXPECT_EQ(none.Options->Host, "127.0.0.1");
    EXPECT_EQ(none.Options->Port, 8080);
    EXPECT_EQ(none.Options->Database, "vantorel-scores.sqlite");
    EXPECT_EQ(none.Options->RatePerMinute, 30u);

    const TServerOptionsParse all =
        ParseServerOptions({"--listen", "0.0.0.0:0", "--database=host=db dbname=scores", "--rate",
                            "0", "--threads=4", "--replay-verifier", "/usr/games/vantorel-replay",
                            "--replay-data=/usr/share/games/vantorel/Data"});
    ASSERT_TRUE(all.Options) << all.Error;
    EXPECT_EQ(all.Options->ReplayVerifier, "/usr/games/vantorel-replay");
    EXPECT_EQ(all.Options->ReplayData, "/usr/share/games/vantorel/Data");
    EXPECT_EQ(all.Options->Host, "0.0.0.0");
    EXPECT_EQ(all.Options->Port, 0);
    EXPECT_EQ(all.Options->Database, "host=db dbname=scores");
    EXPECT_EQ(all.Options->RatePerMinute, 0u);
    EXPECT_EQ(all.Options->Threads, 4u);

    const TServerOptionsParse v6 = ParseServerOptions({"--listen", "[::1]:9000"});
    ASSERT_TRUE(v6.Options);
    EXPECT_EQ(v6.Options->Host, "::1");
    EXPECT_EQ(v6.Options->Port, 9000);
    EXPECT_TRUE(ParseServerOptions({"--help"}).Options->Help);
}

TEST(ServerOptions, MistakesAreNamed) {
    struct TCase {
        std::vector<std::string> Args;
        std::string Error;
    };
    const std::string listen = "--listen wants HOST:PORT with a port from 0 to 65535, not ";
    const std::string unknown = " (see --help)";
    const std::vector<TCase> cases = {
        // unknown options, shortened names, grouped letters, words that are no option
        {{"--port", "80"}, "unknown option --port" + unknown},
        {{"--port=80"}, "unknown option --port" + unknown},
        {{"--list", "0.0.0.0:80"}, "unknown option --list" + unknown},
        {{"--data=x.sqlite"}, "unknown option --data" + unknown},
        {{"-x"}, "unknown option -x" + unknown},
        {{"-hh"}, "unknown option -hh" + unknown},
        {{"-xh"}, "unknown option -xh" + unknown},
        {{"scores.sqlite"}, "unknown option scores.sqlite" + unknown},
        {{"--rate", "5", "extra"}, "unknown option extra" + unknown},
        {{"--", "--help"}, "unknown option --" + unknown},
        {{"--help", "x"}, "unknown option x" + unknown},
        // missing values
        {{"--listen"}, "--listen needs a value" + unknown},
        {{"--rate", "5", "--config"}, "--config needs a value" + unknown},
        {{"--config="}, "--config wants a file"},
        {{"--database", ""}, "--database wants a SQLite file path or a PostgreSQL connection"},
        // bad listen addresses
        {{"--listen", "8080"}, listen + "\"8080\""},
        {{"--listen", "host:65536"}, listen + "\"host:65536\""},
        {{"--listen", ":80"}, listen + "\":80\""},
        {{"--listen", "::1:80"}, listen + "\"::1:80\""},
        {{"--listen=[::1]"}, listen + "\"[::1]\""},
        {{"--listen", "a/b:80"}, listen + "\"a/b:80\""},
        {{"--listen", "--rate"}, listen + "\"--rate\""},
        // bad numbers
        {{"--rate", "-1"},
         "--rate wants a whole number of reports per minute (0: no limit), not \"-1\""},
        {{"--rate", "ten"},
         "--rate wants a whole number of reports per minute (0: no limit), not \"ten\""},
        {{"--rate=99999999999"},
         "--rate wants a whole number of reports per minute (0: no "
         "limit), not \"99999999999\""},
        {{"--threads", "0"}, "--threads wants a whole number from 1 to 256, not \"0\""},
        {{"--threads="}, "--threads wants a whole number from 1 to 256, not \"\""},
        {{"--threads", " 4"}, "--threads wants a whole number from 1 to 256, not \" 4\""},
        {{"--trusted-proxy", "proxy.example"},
         "--trusted-proxy wants an IPv4 or IPv6 address, not \"proxy.example\""},
        {{"--trusted-proxy", "10.0.0.0/8"},
         "--trusted-proxy wants an IPv4 or IPv6 address, not \"10.0.0.0/8\""},
        {{"--log-format", "xml"}, "--log-format wants line or json, not \"xml\""},
        {{"--connections-per-address", "0"},
         "--connections-per-address wants a whole number from 1 to 1000000, not \"0\""},
        {{"--max-connections=-5"},
         "--max-connections wants a whole number from 1 to 1000000, not \"-5\""},
        // No PATH lookup picks the program that plays strangers' files.
        {{"--replay-verifier", "vantorel-replay"},
         "--replay-verifier wants the verifier's absolute path, not \"vantorel-replay\""},
    };
    for (const TCase& c : cases) {
        const TServerOptionsParse parsed = ParseServerOptions(c.Args);
        EXPECT_FALSE(parsed.Options) << c.Args[0];
        EXPECT_EQ(parsed.Error, c.Error) << c.Args[0];
    }
}

// The option reader keeps its place between calls in globals; every parse must
// start afresh, even after one that stopped in the middle of "-xh".
TEST(ServerOptions, EveryParseStartsAfresh) {
    for (int round = 0; round < 3; ++round) {
        EXPECT_FALSE(ParseServerOptions({"-xh"}).Options);
        const TServerOptionsParse parsed = ParseServerOptions({"--threads", "3", "--rate=9"});
        ASSERT_TRUE(parsed.Options) << parsed.Error;
        EXPECT_EQ(parsed.Options->Threads, 3u);
        EXPECT_EQ(parsed.Options->RatePerMinute, 9u);
        EXPECT_FALSE(parsed.Options->Help);
    }
}

TEST(ServerOptions, ConfigLinesSetEveryOptionAndTheCommandLineWins) {
    const std::string config = "# the operator's settings\n"
                               "\n"
                               "listen = 0.0.0.0:9090\r\n"
                               "  database=host=db dbname=scores  \n"
                               "rate = 5\n"
                               "threads = 4\n";
    TServerOptions options;
    ASSERT_EQ(ApplyServerConfig(config, "scored.conf", options), "");
    EXPECT_EQ(options.Host, "0.0.0.0");
    EXPECT_EQ(options.Port, 9090);
    EXPECT_EQ(options.Database, "host=db dbname=scores");
    EXPECT_EQ(options.RatePerMinute, 5u);
    EXPECT_EQ(options.Threads, 4u);

    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "vantorel-scored-options-test.conf";
    std::ofstream(file) << config;
    // --config after --listen still loses to it: the file is read first.
    const TServerOptionsParse parsed =
        ParseServerOptions({"--listen", "127.0.0.1:0", "--config", file.string(), "--rate=0"});
    std::filesystem::remove(file);
    ASSERT_TRUE(parsed.Options) << parsed.Error;
    EXPECT_EQ(parsed.Options->Host, "127.0.0.1");
    EXPECT_EQ(parsed.Options->Port, 0);
    EXPECT_EQ(parsed.Options->RatePerMinute, 0u);
    EXPECT_EQ(parsed.Options->Database, "host=db dbname=scores");
    EXPECT_EQ(parsed.Options->Threads, 4u);

    EXPECT_TRUE(ParseServerOptions({"--version"}).Options->Version);
    const TServerOptionsParse missing = ParseServerOptions({"--config", "/nonexistent/x.conf"});
    EXPECT_FALSE(missing.Options);
    EXPECT_NE(missing.Error.find("/nonexistent/x.conf"), std::string::npos) << missing.Error;
}

// Trusted proxies add up, from the config file or the command line, but the
// command line's list replaces the file's whole (as any option given there wins).
TEST(ServerOptions, TransportOptions) {
    const TServerOptionsParse none = ParseServerOptions({});
    ASSERT_TRUE(none.Options);
    EXPECT_TRUE(none.Options->TrustedProxies.empty());
    EXPECT_FALSE(none.Options->JsonLog);
    EXPECT_EQ(none.Options->ConnectionsPerAddress, 32u);

    TServerOptions options;
    ASSERT_EQ(ApplyServerConfig("trusted-proxy = 10.0.0.1\ntrusted-proxy = ::1\n"
                                "log-format = json\nconnections-per-address = 4\n"
                                "max-connections = 500\n",
                                "f.conf", options),
              "");
    EXPECT_EQ(options.TrustedProxies, (std::vector<std::string>{"10.0.0.1", "::1"}));
    EXPECT_TRUE(options.JsonLog);
    EXPECT_EQ(options.ConnectionsPerAddress, 4u);
    EXPECT_EQ(options.MaxConnections, 500u);

    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "vantorel-scored-proxies-test.conf";
    std::ofstream(file) << "trusted-proxy = 10.0.0.1\nlog-format = json\n";
    const TServerOptionsParse parsed =
        ParseServerOptions({"--config", file.string(), "--trusted-proxy", "192.0.2.1",
                            "--trusted-proxy=2001:db8::1", "--log-format", "line"});
    std::filesystem::remove(file);
    ASSERT_TRUE(parsed.Options) << parsed.Error;
    EXPECT_EQ(parsed.Options->TrustedProxies,
              (std::vector<std::string>{"192.0.2.1", "2001:db8::1"}));
    EXPECT_FALSE(parsed.Options->JsonLog);
}

TEST(ServerOptions, ConfigMistakesNameTheLine) {
    struct TCase {
        std::string Text;
        const char* Named;
    };
    const std::vector<TCase> cases = {
        {"port = 80\n", "f.conf:1: unknown key \"port\""},
        {"# listen\nlisten 0.0.0.0:80\n", "f.conf:2: wants \"key = value\""},
        {"rate = 1\n\nlisten = 8080\n", "f.conf:3: listen wants HOST:PORT"},
        {"threads = 0\n", "f.conf:1: threads wants"},
        {"database =\n", "f.conf:1: database wants"},
        {"replay-verifier = bin/x\n", "f.conf:1: replay-verifier wants"},
    };
    for (const TCase& c : cases) {
        TServerOptions options;
        const std::string error = ApplyServerConfig(c.Text, "f.conf", options);
        EXPECT_EQ(error.rfind(c.Named, 0), 0u) << c.Text << " -> " << error;
    }
}

} // namespace
} // namespace vantorel::server

#include "storage/score_server.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vantorel {
namespace {

TEST(ScoreServer, ParsesHostAndPort) {
    struct Case {
        const char* Text;
        std::optional<TScoreServer> Expected;
    };
    const Case cases[] = {
        {"scores.example.org", TScoreServer{"scores.example.org", 80}},
        {"localhost:8080", TScoreServer{"localhost", 8080}},
        {"10.0.0.2:65535", TScoreServer{"10.0.0.2", 65535}},
        {"", std::nullopt},
        {":8080", std::nullopt},
        {"host:", std::nullopt},
        {"host:0", std::nullopt},
        {"host:65536", std::nullopt},
        {"host:80x", std::nullopt},
        {"host/evil?x=1", std::nullopt},
        {"user@host", std::nullopt},
        {"-host", std::nullopt},
        {"host name", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseScoreServer(c.Text), c.Expected) << c.Text;
}

TEST(ScoreServer, AddressesCarryThePortOnlyWhenNot80) {
    const TScoreServer plain{"scores.example.org", 80};
    EXPECT_EQ(plain.Authority(), "scores.example.org");
    EXPECT_EQ(plain.WorldTableUrl(),
              "http://scores.example.org/cgi/version.pl?prg=Vantorel&show&type=0");
    const TScoreServer local{"localhost", 8080};
    EXPECT_EQ(local.Authority(), "localhost:8080");
    EXPECT_EQ(local.ScriptUrl(), "http://localhost:8080/cgi/version.pl");
}

TEST(ScoreServer, EnvironmentOverridesTheBuildWhenValid) {
    const auto builtIn = ParseScoreServer(BuiltInScoreServer());
    ASSERT_TRUE(builtIn.has_value()) << BuiltInScoreServer();
    EXPECT_EQ(ScoreServerFor(nullptr), *builtIn);
    EXPECT_EQ(ScoreServerFor(""), *builtIn);
    EXPECT_EQ(ScoreServerFor("bad host"), *builtIn);
    EXPECT_EQ(ScoreServerFor("127.0.0.1:9000"), (TScoreServer{"127.0.0.1", 9000}));
}

TEST(ScoreServer, TheMachinesFileSitsBetweenTheEnvironmentAndTheBuild) {
    const auto builtIn = ParseScoreServer(BuiltInScoreServer());
    ASSERT_TRUE(builtIn.has_value());
    struct Case {
        const char* Environment;
        const char* File;
        TScoreServer Expected;
    };
    const Case cases[] = {
        {nullptr, "scores.example.org:8080\n", {"scores.example.org", 8080}},
        {nullptr, "# the world table\n\n  scores.example.org  \r\n", {"scores.example.org", 80}},
        {"127.0.0.1:9000", "scores.example.org", {"127.0.0.1", 9000}},
        {"bad host", "scores.example.org", {"scores.example.org", 80}},
        {nullptr, "bad host\nscores.example.org", *builtIn},
        {nullptr, "# only a comment\n", *builtIn},
        {nullptr, "", *builtIn},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScoreServerFor(c.Environment, c.File), c.Expected)
            << (c.Environment ? c.Environment : "(unset)") << " / " << c.File;
}

} // namespace
} // namespace vantorel

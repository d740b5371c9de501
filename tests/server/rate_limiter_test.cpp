// The rate limit's clients (an IPv4 address, an IPv6 /64) and its memory: a
// flood of new addresses must not give a throttled client its allowance back.
// Also the repeat filter beside it.
#include "server/rate_limiter.hpp"
#include "server/recent_reports.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantorel::server {
namespace {

TEST(RateLimiter, ClientKeys) {
    struct TCase {
        const char* Address;
        const char* Key;
    };
    const std::vector<TCase> cases = {
        {"10.0.0.1", "10.0.0.1"},
        {"::ffff:10.0.0.1", "10.0.0.1"}, // a dual-stack socket's IPv4 client
        {"[::ffff:10.0.0.1]", "10.0.0.1"},
        {"2001:db8:1:2:3:4:5:6", "2001:db8:1:2::/64"},
        {"[2001:db8:1:2::9]", "2001:db8:1:2::/64"},
        {"2001:0DB8:0001:0002:ffff:ffff:ffff:ffff", "2001:db8:1:2::/64"},
        {"2001:db8:1:3::1", "2001:db8:1:3::/64"},
        {"fe80::1%eth0", "fe80:0:0:0::/64"},
        {"::1", "0:0:0:0::/64"},
        {"not an address", "not an address"},
        {"", ""},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(TRateLimiter::ClientKey(c.Address), c.Key) << c.Address;
}

TEST(RateLimiter, OneBucketPerSlash64) {
    TRateLimiter limiter(2);
    const auto allow = [&](const char* address) {
        return limiter.Allow(TRateLimiter::ClientKey(address), 0);
    };
    EXPECT_TRUE(allow("2001:db8:5:6::1"));
    EXPECT_TRUE(allow("2001:db8:5:6:ffff::2"));
    EXPECT_FALSE(allow("2001:db8:5:6::3")) << "a new address in the same /64 is the same client";
    EXPECT_TRUE(allow("2001:db8:5:7::1"));
    EXPECT_TRUE(allow("10.1.1.1"));
    EXPECT_TRUE(allow("::ffff:10.1.1.1"));
    EXPECT_FALSE(allow("10.1.1.1")) << "IPv4 and IPv4-mapped IPv6 share one bucket";
}

TEST(RateLimiter, NoLimitAndAClockSteppingBack) {
    TRateLimiter unlimited(0);
    for (int i = 0; i < 1000; ++i)
        EXPECT_TRUE(unlimited.Allow("a", 0));
    EXPECT_EQ(unlimited.Tracked(), 0u);

    TRateLimiter limiter(1);
    EXPECT_TRUE(limiter.Allow("a", 0));
    EXPECT_FALSE(limiter.Allow("a", -60'000)) << "a clock stepping back gives nothing back";
    EXPECT_TRUE(limiter.Allow("a", 60'000));
}

// With room for 8 clients, a throttled client stays throttled however many new
// addresses send one report each: memory stays bounded and the quiet ones go.
TEST(RateLimiter, AFloodOfNewAddressesCannotFreeAThrottledClient) {
    TRateLimiter limiter(2, 8);
    EXPECT_TRUE(limiter.Allow("attacker", 0));
    EXPECT_TRUE(limiter.Allow("attacker", 0));
    EXPECT_FALSE(limiter.Allow("attacker", 0));
    for (int i = 0; i < 70'000; ++i)
        limiter.Allow("10.9." + std::to_string(i / 256) + "." + std::to_string(i % 256), i / 100);
    EXPECT_LE(limiter.Tracked(), 8u);
    EXPECT_FALSE(limiter.Allow("attacker", 700)) << "the flood gave its allowance back";
    EXPECT_TRUE(limiter.Allow("attacker", 30'000)) << "it refills with time as before";
}

// The heaviest sender is the longest unseen here; forgetting by age alone
// would forget it first.
TEST(RateLimiter, TheQuietestClientsAreForgottenFirst) {
    TRateLimiter limiter(10, 3);
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(limiter.Allow("heavy", 0));
    EXPECT_TRUE(limiter.Allow("light1", 1));
    EXPECT_TRUE(limiter.Allow("light2", 2));
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(limiter.Allow("new" + std::to_string(i), 3));
    EXPECT_EQ(limiter.Tracked(), 3u);
    EXPECT_TRUE(limiter.Allow("heavy", 4)) << "its last token";
    EXPECT_FALSE(limiter.Allow("heavy", 4)) << "forgotten, it came back with a full bucket";
}

TEST(RateLimiter, WhenEveryClientIsThrottledANewOneWaits) {
    TRateLimiter limiter(1, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(limiter.Allow("a" + std::to_string(i), 0));
    EXPECT_FALSE(limiter.Allow("newcomer", 0));
    EXPECT_EQ(limiter.Tracked(), 4u);
    EXPECT_TRUE(limiter.Allow("newcomer", 60'000)) << "once a bucket refilled, room is made";
    EXPECT_EQ(limiter.Tracked(), 4u);
}

TEST(RecentReports, ARepeatWithinTheWindowIsCaughtOnce) {
    TRecentReports recent(600'000);
    EXPECT_TRUE(recent.Claim("10.0.0.1", "CODE", 0));
    EXPECT_FALSE(recent.Claim("10.0.0.1", "CODE", 599'999));
    EXPECT_TRUE(recent.Claim("10.0.0.2", "CODE", 1)) << "another client's copy";
    EXPECT_TRUE(recent.Claim("10.0.0.1", "CODE2", 1));
    EXPECT_TRUE(recent.Claim("10.0.0.1", "CODE", 600'000)) << "the window has passed";
    EXPECT_FALSE(recent.Claim("10.0.0.1", "CODE", 600'001));
    recent.Release("10.0.0.1", "CODE");
    EXPECT_TRUE(recent.Claim("10.0.0.1", "CODE", 600'002)) << "a released claim is free again";

    TRecentReports off(0);
    EXPECT_TRUE(off.Claim("a", "x", 0));
    EXPECT_TRUE(off.Claim("a", "x", 0));
}

TEST(RecentReports, MemoryIsBoundedOldestFirst) {
    TRecentReports recent(600'000, 100);
    for (int i = 0; i < 1000; ++i)
        EXPECT_TRUE(recent.Claim("c", std::to_string(i), i));
    EXPECT_FALSE(recent.Claim("c", "999", 1000)) << "the newest are remembered";
    EXPECT_TRUE(recent.Claim("c", "0", 1000)) << "the oldest were forgotten";
}

} // namespace
} // namespace vantorel::server

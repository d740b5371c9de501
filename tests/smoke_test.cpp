#include "engine/hash_collection.hpp"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

TEST(NameHash, SpreadsByLengthAndTwoCharacters) {
    EXPECT_EQ(NameHash(""), 0);
    EXPECT_EQ(NameHash("a"), 16);
    // "Player": 16*6 + 'p' + 'e' = 96 + 112 + 101 = 309 -> 53
    EXPECT_EQ(NameHash("Player"), 53);
    EXPECT_EQ(NameHash("PLAYER"), NameHash("player"));
}

} // namespace
} // namespace vantorel

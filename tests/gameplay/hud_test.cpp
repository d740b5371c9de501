#include "gameplay/hud.hpp"

#include "gameplay/game_world_fixture.hpp"
#include "objects/player.hpp"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <string>

namespace vantorel {
namespace {

std::array<bool, 9> Held(std::initializer_list<int32_t> slots) {
    std::array<bool, 9> on{};
    for (int32_t s : slots)
        on[static_cast<size_t>(s)] = true;
    return on;
}

TEST(HudWeapon, ShowsTheLastHeldSpecialWeaponThenTheShield) {
    struct Case {
        const char* Name;
        std::array<bool, 9> On;
        int32_t Slot;
        const char* Icon;
    };
    const Case cases[] = {
        {"nothing", Held({}), 0, "Null"},
        {"the plain laser is never shown", Held({1}), 0, "Null"},
        {"shield alone", Held({5}), 5, "BonusShield"},
        {"laser and shield", Held({1, 5}), 5, "BonusShield"},
        {"rocket over shield", Held({3, 5}), 3, "BonusRocketGun"},
        {"rail", Held({4}), 4, "BonusRailGun"},
        {"later slot wins", Held({2, 8}), 8, "BonusRocketGun_2x"},
        {"double laser after rail", Held({4, 6}), 6, "BonusLaserGun_2x"},
        {"triple plasma", Held({7, 5, 1}), 7, "BonusPlasmaGun_3x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(THud::WeaponSlot(c.On), c.Slot);
        EXPECT_STREQ(THud::WeaponIcon(c.Slot), c.Icon);
    }
    // A shorter list counts the missing slots as off.
    const bool three[4] = {false, false, false, true};
    EXPECT_EQ(THud::WeaponSlot(three), 3);
    EXPECT_STREQ(THud::WeaponIcon(9), "Null");
    EXPECT_STREQ(THud::WeaponIcon(-1), "Null");
}

TEST(HudWeapon, TimeShowsTensThenTheSecondsDigit) {
    const struct {
        int32_t Ms;
        const char* Text;
    } cases[] = {
        {15000, "15"}, {5000, "05"},  {100000, "100"}, {0, "00"},       {999, "00"},
        {9999, "09"},  {10000, "10"}, {14999, "14"},   {123456, "123"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(THud::TimeText(c.Ms), c.Text) << c.Ms;
}

using Hud = GameWorldFixture;

TEST_F(Hud, ShowsOneIconPerLifeUpToThree) {
    StartPlaying();
    const struct {
        int32_t Lives;
        int32_t Shown;
    } cases[] = {{3, 3}, {2, 2}, {1, 1}, {0, 0}, {5, 3}, {-1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Lives);
        state.Progress.Lives = c.Lives;
        flow.DrawHud();
        for (int32_t i = 0; i < 3; ++i)
            EXPECT_EQ(fixed.LifeIcons[static_cast<size_t>(i)]->Visible, i < c.Shown) << i;
    }
}

TEST_F(Hud, WeaponIconAndTimeFollowThePlayer) {
    StartPlaying();
    TPlayer& player = *fixed.Player;
    player.WeaponOn = Held({3, 5});
    player.WeaponTime[3] = 15000;
    draw.Surface()->Fill(0);
    flow.DrawHud();
    const TMyImageSprite& icon = *fixed.WeaponIcon;
    EXPECT_EQ(icon.Image(), &images2.Items.Find("BonusRocketGun"));
    EXPECT_DOUBLE_EQ(icon.X + icon.Width / 2.0, 567);
    EXPECT_DOUBLE_EQ(icon.Y + icon.Height / 2.0, 39);
    const auto [first, last] = Ink(480, 550, 36, 56);
    ASSERT_LE(first, last) << "no time drawn";
    EXPECT_NEAR((first + last) / 2.0, 515, 3);

    player.WeaponOn = Held({1});
    draw.Surface()->Fill(0);
    flow.DrawHud();
    EXPECT_EQ(icon.Image(), &images2.Items.Find("Null"));
    const auto [f2, l2] = Ink(480, 550, 30, 62);
    EXPECT_GT(f2, l2) << "a time drawn without a weapon";
}

TEST_F(Hud, ScoreGrowsLeftwardsFromItsRightEdge) {
    StartPlaying();
    int32_t lastLeft = 0;
    for (int32_t score : {7, 12345, 1234567}) {
        SCOPED_TRACE(score);
        state.Progress.Score = score;
        draw.Surface()->Fill(0);
        flow.DrawHud();
        const auto [first, last] = Ink(150, 330, 30, 62);
        ASSERT_LE(first, last);
        EXPECT_LE(last, 282);
        EXPECT_GE(last, 274);
        if (lastLeft != 0) {
            EXPECT_LT(first, lastLeft);
        }
        lastLeft = first;
    }
}

TEST_F(Hud, LevelIsCentredInItsBox) {
    StartPlaying();
    // Digits whose ink fills their cell (a digital "1" lights only its right side).
    for (int32_t level : {8, 88}) {
        SCOPED_TRACE(level);
        state.Progress.Level = level;
        draw.Surface()->Fill(0);
        flow.DrawHud();
        const auto [first, last] = Ink(40, 160, 20, 66);
        ASSERT_LE(first, last);
        EXPECT_NEAR((first + last) / 2.0, 106, 3);
    }
}

} // namespace
} // namespace vantorel

#include "engine/display.hpp"

#include "base/errors.hpp"
#include "platform/video_output.hpp"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace vantorel {
namespace {

using O = TDXDrawOption;
using N = TDXDrawNotifyType;

/// Writes every notification it hears into a shared log as (listener, code).
class TRecorder : public IDXDrawListener {
public:
    TRecorder(std::string name, std::vector<std::pair<std::string, int>>& log)
        : name_(std::move(name)), log_(log) {}
    void DXDrawNotify(TDXDraw&, TDXDrawNotifyType type) override {
        log_.emplace_back(name_, static_cast<int>(type));
    }

private:
    std::string name_;
    std::vector<std::pair<std::string, int>>& log_;
};

std::vector<int> Codes(const std::vector<std::pair<std::string, int>>& log,
                       const std::string& who) {
    std::vector<int> codes;
    for (const auto& [name, code] : log)
        if (name == who)
            codes.push_back(code);
    return codes;
}

const TDXDrawOptions kGameOptions{O::doStretch,     O::doFlip,         O::doHardware,
                                  O::doCenter,      O::doWaitVBlank,   O::doDirectX7Mode,
                                  O::doAllowReboot, O::doSelectDriver, O::doRetainedMode};

TEST(DXDraw, NotifiesMostRecentListenerFirstInInitializeFinalizeAndDestroyOrder) {
    TNullVideoOutput output;
    std::vector<std::pair<std::string, int>> log;
    TRecorder first("first", log);
    TRecorder second("second", log);
    {
        TDXDraw draw(&output);
        draw.AddListener(&first);
        draw.AddListener(&second);
        draw.AddListener(&first); // registering twice changes nothing

        draw.Initialize();
        EXPECT_EQ(Codes(log, "first"), (std::vector<int>{1, 7, 2, 3, 6}));
        ASSERT_EQ(log.size(), 10u);
        for (size_t i = 0; i < log.size(); i += 2) {
            EXPECT_EQ(log[i].first, "second");
            EXPECT_EQ(log[i + 1].first, "first");
            EXPECT_EQ(log[i].second, log[i + 1].second);
        }

        log.clear();
        draw.Initialize(); // finalises first
        EXPECT_EQ(Codes(log, "second"), (std::vector<int>{5, 4, 1, 7, 2, 3, 6}));

        log.clear();
        draw.Finalize();
        draw.Finalize(); // a second finalise has nothing to tell
        EXPECT_EQ(Codes(log, "second"), (std::vector<int>{5, 4}));

        draw.Initialize();
        log.clear();
    }
    EXPECT_EQ(Codes(log, "first"), (std::vector<int>{5, 4, 0}));
}

TEST(DXDraw, RemovedListenerHearsNothingEvenWhenRemovedDuringANotification) {
    TNullVideoOutput output;
    TDXDraw draw(&output);
    std::vector<std::pair<std::string, int>> log;
    TRecorder victim("victim", log);

    struct TRemover : IDXDrawListener {
        IDXDrawListener* Target = nullptr;
        void DXDrawNotify(TDXDraw& sender, TDXDrawNotifyType type) override {
            if (type == N::Initializing)
                sender.RemoveListener(Target);
        }
    } remover;
    remover.Target = &victim;

    draw.AddListener(&victim);
    draw.AddListener(&remover); // told first, removes the victim before its turn
    draw.Initialize();
    EXPECT_TRUE(log.empty());
}

TEST(DXDraw, IsNotReadyToDrawWhileItsListenersAreBeingToldOfInitOrFinal) {
    TNullVideoOutput output;
    TDXDraw draw(&output);
    struct TProbe : IDXDrawListener {
        std::vector<bool> Ready;
        void DXDrawNotify(TDXDraw& sender, TDXDrawNotifyType) override {
            Ready.push_back(sender.IsReadyToDraw());
        }
    } probe;
    draw.AddListener(&probe);
    draw.Initialize();
    draw.Finalize();
    EXPECT_EQ(probe.Ready, std::vector<bool>(7, false)); // 1, 7, 2, 3, 6, 5, 4
}

struct TEffectiveCase {
    const char* Name;
    TDXDrawOptions Options;
    TDXDrawOptions Expected;
};
void PrintTo(const TEffectiveCase& c, std::ostream* os) {
    *os << c.Name;
}

class DXDrawEffectiveOptions : public ::testing::TestWithParam<TEffectiveCase> {};

TEST_P(DXDrawEffectiveOptions, DerivedWhileNotInitialized) {
    const auto& c = GetParam();
    EXPECT_EQ(TDXDraw::EffectiveOptions(c.Options).Bits(), c.Expected.Bits()) << c.Name;
    TDXDraw draw(nullptr);
    draw.SetOptions(c.Options);
    EXPECT_EQ(draw.NowOptions().Bits(), c.Expected.Bits());
}

INSTANTIATE_TEST_SUITE_P(
    Table, DXDrawEffectiveOptions,
    ::testing::Values(
        TEffectiveCase{
            "game window: copy, no 3D", kGameOptions, {O::doStretch, O::doCenter, O::doWaitVBlank}},
        TEffectiveCase{"game full screen: flip",
                       {O::doFullScreen, O::doStretch, O::doFlip, O::doHardware, O::doCenter,
                        O::doWaitVBlank, O::doDirectX7Mode, O::doAllowReboot, O::doSelectDriver,
                        O::doRetainedMode},
                       {O::doFullScreen, O::doStretch, O::doFlip, O::doCenter, O::doWaitVBlank,
                        O::doAllowReboot}},
        TEffectiveCase{"window drops full-screen-only options",
                       {O::doNoWindowChange, O::doAllowReboot, O::doAllowPalette256, O::doFlip},
                       {}},
        TEffectiveCase{"3D keeps its options, DirectX 7 drops retained mode, hardware always goes",
                       {O::do3D, O::doDirectX7Mode, O::doRetainedMode, O::doHardware,
                        O::doSelectDriver, O::doZBuffer},
                       {O::do3D, O::doDirectX7Mode, O::doSelectDriver, O::doZBuffer}},
        TEffectiveCase{"3D retained mode without DirectX 7 stays",
                       {O::do3D, O::doRetainedMode},
                       {O::do3D, O::doRetainedMode}},
        TEffectiveCase{"system memory cannot flip",
                       {O::doFullScreen, O::doFlip, O::doSystemMemory},
                       {O::doFullScreen, O::doSystemMemory}}));

TEST(DXDraw, WhileInitializedOnlyPresentationOptionsChangeAtOnce) {
    TNullVideoOutput output;
    TDXDraw draw(&output);
    draw.SetOptions(kGameOptions);
    draw.Initialize();
    EXPECT_FALSE(draw.FlipDriver());

    TDXDrawOptions changed = kGameOptions;
    changed.Include(O::doFullScreen);
    changed.Exclude(O::doWaitVBlank);
    changed.Exclude(O::doStretch);
    draw.SetOptions(changed);
    EXPECT_FALSE(draw.NowOptions().Contains(O::doFullScreen));
    EXPECT_FALSE(draw.NowOptions().Contains(O::doWaitVBlank));
    EXPECT_FALSE(draw.NowOptions().Contains(O::doStretch));
    EXPECT_TRUE(draw.NowOptions().Contains(O::doCenter));
    EXPECT_FALSE(output.IsFullScreen());

    draw.Initialize(); // the rest takes effect now
    EXPECT_TRUE(draw.NowOptions().Contains(O::doFullScreen));
    EXPECT_TRUE(draw.NowOptions().Contains(O::doFlip));
    EXPECT_TRUE(draw.FlipDriver());
    EXPECT_TRUE(output.IsFullScreen());
}

TEST(DXDraw, BitCountAcceptsOnlyTheFourDepths) {
    TDXDrawDisplay display;
    for (int32_t bits : {8, 16, 24, 32}) {
        display.SetBitCount(bits);
        EXPECT_EQ(display.BitCount(), bits);
    }
    for (int32_t bits : {0, 1, 15, 64, -32}) {
        try {
            display.SetBitCount(bits);
            ADD_FAILURE() << bits << " accepted";
        } catch (const EDirectDrawError& e) {
            EXPECT_STREQ(e.what(), "Display requires 8, 16, 24 or 32 bits");
        }
        EXPECT_EQ(display.BitCount(), 32); // the last good value stays
    }
}

TEST(DXDraw, WithoutAnOutputInitializeRaisesFormNotFound) {
    std::vector<std::pair<std::string, int>> log;
    TRecorder listener("l", log);
    TDXDraw draw(nullptr);
    draw.AddListener(&listener);
    try {
        draw.Initialize();
        FAIL() << "no error";
    } catch (const EDXDrawError& e) {
        EXPECT_STREQ(e.what(), "Form not found");
    }
    EXPECT_FALSE(draw.Initialized());
    EXPECT_FALSE(draw.IsReadyToDraw());
    EXPECT_TRUE(log.empty());
    draw.Flip(); // harmless
}

TEST(DXDraw, RefusedFullScreenRaisesAndLeavesTheDisplayFinalized) {
    TNullVideoOutput output;
    output.FailFullScreen = true;
    std::vector<std::pair<std::string, int>> log;
    TRecorder listener("l", log);
    TDXDraw draw(&output);
    draw.AddListener(&listener);
    draw.Display.SetBitCount(32);
    draw.SetOptions({O::doFullScreen, O::doFlip});
    try {
        draw.Initialize();
        FAIL() << "no error";
    } catch (const EDXDrawError& e) {
        EXPECT_STREQ(e.what(), "Display mode cannot be changed (800x600 32bit)");
    }
    EXPECT_EQ(Codes(log, "l"), (std::vector<int>{1}));
    EXPECT_FALSE(draw.Initialized());
    EXPECT_EQ(draw.Surface(), nullptr);
    EXPECT_FALSE(draw.IsReadyToDraw());
    EXPECT_FALSE(output.IsOpen());

    // The window still works afterwards.
    draw.SetOptions({O::doFlip});
    draw.Initialize();
    EXPECT_TRUE(draw.IsReadyToDraw());
}

TEST(DXDraw, FlipPresentsTheBackSurfaceOnlyWhenReady) {
    TNullVideoOutput output;
    TDXDraw draw(&output);
    draw.SetOptions(kGameOptions);
    EXPECT_FALSE(draw.IsReadyToDraw());
    draw.Flip();
    EXPECT_EQ(output.PresentCount(), 0);

    draw.Initialize();
    ASSERT_TRUE(draw.IsReadyToDraw());
    ASSERT_NE(draw.Surface(), nullptr);
    EXPECT_EQ(draw.Surface()->Width(), 800);
    EXPECT_EQ(draw.Surface()->Height(), 600);
    draw.Surface()->Fill(0x123456);
    draw.Surface()->Row(599)[799] = 0xABCDEF;
    draw.Flip();
    ASSERT_EQ(output.PresentCount(), 1);
    EXPECT_TRUE(output.LastWaitVBlank()); // window mode copies after the vertical blank
    ASSERT_EQ(output.LastFrame().size(), 800u * 600u);
    EXPECT_EQ(output.LastFrame().front(), 0x123456u);
    EXPECT_EQ(output.LastFrame().back(), 0xABCDEFu);

    draw.Finalize();
    EXPECT_FALSE(draw.IsReadyToDraw());
    EXPECT_EQ(draw.Surface(), nullptr);
    draw.Flip();
    EXPECT_EQ(output.PresentCount(), 1);
}

TEST(DXDraw, FullScreenFlipsOnlyWhileTheWindowIsActive) {
    TNullVideoOutput output;
    TDXDraw draw(&output);
    TDXDrawOptions options = kGameOptions;
    options.Include(O::doFullScreen);
    draw.SetOptions(options);
    draw.Initialize();
    ASSERT_TRUE(draw.FlipDriver());

    output.SetActive(false);
    draw.Flip();
    EXPECT_EQ(output.PresentCount(), 0);
    output.SetActive(true);
    draw.Flip();
    EXPECT_EQ(output.PresentCount(), 1);
    EXPECT_TRUE(output.LastWaitVBlank());
}

TEST(DXDraw, LostSurfacesAreRestoredOnTheSpotAndListenersRebuildOnce) {
    TNullVideoOutput output;
    std::vector<std::pair<std::string, int>> log;
    TRecorder listener("l", log);
    TDXDraw draw(&output);
    draw.AddListener(&listener);
    draw.Initialize();
    log.clear();

    output.LoseSurfaces();
    EXPECT_TRUE(draw.IsReadyToDraw());
    EXPECT_TRUE(draw.IsReadyToDraw());
    EXPECT_EQ(Codes(log, "l"), (std::vector<int>{6}));

    output.LoseSurfaces();
    draw.Flip();
    EXPECT_EQ(Codes(log, "l"), (std::vector<int>{6, 6}));
    EXPECT_EQ(output.PresentCount(), 1);
}

TEST(DXDraw, RefreshRateFallsBackTo60) {
    TNullVideoOutput output;
    output.SetRefreshRate(75);
    EXPECT_EQ(TDXDraw(&output).RefreshRate(), 75);
    output.SetRefreshRate(0);
    EXPECT_EQ(TDXDraw(&output).RefreshRate(), 60);
    EXPECT_EQ(TDXDraw(nullptr).RefreshRate(), 60);
}

} // namespace
} // namespace vantorel

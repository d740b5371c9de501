#include "state/game_state.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace vantorel {
namespace {

TEST(CounterRoutines, StepAndPullInFollowTheirBounds) {
    using Fn = void (*)(int32_t&, int32_t, int32_t);
    struct Case {
        const char* Name;
        Fn F;
        int32_t V, A, B, Expected;
    };
    const Case cases[] = {
        {"down-wrap at hi", StepDownWrap, 6, 1, 6, 1},
        {"down-wrap below hi", StepDownWrap, 5, 1, 6, 6},
        {"down-wrap outside", StepDownWrap, 0, 1, 6, 1},
        {"down-wrap above", StepDownWrap, 9, 1, 6, 1},
        {"up-wrap at lo", StepUpWrap, 1, 1, 6, 6},
        {"up-wrap inside", StepUpWrap, 4, 1, 6, 3},
        {"up-wrap outside", StepUpWrap, 0, 1, 6, 6},
        {"up-stop moves", StepUpStop, 12, 11, 1, 11},
        {"up-stop holds at lo", StepUpStop, 11, 11, 1, 11},
        {"down-stop moves", StepDownStop, 11, 12, 1, 12},
        {"down-stop holds at hi", StepDownStop, 12, 12, 1, 12},
        {"down-stop whole steps only", StepDownStop, 10, 12, 3, 10},
        {"pull below: in range", PullInFromBelow, 12, 11, 12, 12},
        {"pull below: none", PullInFromBelow, 0, 11, 12, 11},
        {"pull below: above", PullInFromBelow, 13, 11, 12, 11},
        {"pull above: in range", PullInFromAbove, 11, 11, 12, 11},
        {"pull above: none", PullInFromAbove, 0, 11, 12, 12},
    };
    for (const Case& c : cases) {
        int32_t v = c.V;
        c.F(v, c.A, c.B);
        EXPECT_EQ(v, c.Expected) << c.Name;
    }
}

TEST(CounterRoutines, CountDownAndUpReportWhetherTheyMoved) {
    using Fn = bool (*)(int32_t&, int32_t, int32_t);
    struct Case {
        const char* Name;
        Fn F;
        int32_t V, Bound, Step, Expected;
        bool Moved;
    };
    const Case cases[] = {
        {"down to zero", CountDown, 16, 0, 16, 0, true},
        {"down at zero", CountDown, 0, 0, 16, 0, false},
        {"down short of a step", CountDown, 15, 0, 16, 15, false},
        {"down no overflow", CountDown, INT_MIN + 5, INT_MIN, 16, INT_MIN + 5, false},
        {"up to the top", CountUp, 245, 255, 10, 255, true},
        {"up past the top", CountUp, 250, 255, 10, 250, false},
        {"up no overflow", CountUp, INT_MAX - 5, INT_MAX, 16, INT_MAX - 5, false},
    };
    for (const Case& c : cases) {
        int32_t v = c.V;
        EXPECT_EQ(c.F(v, c.Bound, c.Step), c.Moved) << c.Name;
        EXPECT_EQ(v, c.Expected) << c.Name;
    }
}

TEST(CounterRoutines, TwoSecondsCountedIn16MsStepsLast125Calls) {
    int32_t timer = 2000;
    int calls = 0;
    while (CountDown(timer, 0, 16))
        ++calls;
    EXPECT_EQ(calls, 125);
    EXPECT_EQ(timer, 0);
}

TEST(GameState, ScoreQualifiesWhenItBeatsARankedEntry) {
    TGameState s;
    for (int32_t rank = 1; rank <= 10; ++rank)
        s.Saved.HighScores[rank].Score = 3300 - 300 * rank;
    s.Saved.HighScores[HighScoreTable::Spare].Score = -1000; // never looked at

    struct Case {
        int32_t Score;
        bool Qualifies;
    };
    for (const Case& c : {Case{300, false}, Case{301, true}, Case{0, false}, Case{5000, true}}) {
        s.Progress.Score = c.Score;
        EXPECT_EQ(s.ScoreQualifies(), c.Qualifies) << c.Score;
    }
}

TEST(GameState, StartsAsTheFrameLoopExpects) {
    const TGameState s;
    EXPECT_DOUBLE_EQ(s.Timing.FrameFactor, 1.0);
    EXPECT_EQ(s.Timing.FrameMs, 15);
    EXPECT_EQ(s.Cursor.ScreenCode, TScreenCode::None);
    EXPECT_EQ(s.Cursor.WindowKind, TWindowKind::None);
}

TEST(GameRandom, StaysInRangeAndRepeatsFromASeed) {
    TGameRandom a;
    TGameRandom b;
    a.Seed(42);
    b.Seed(42);
    std::set<int32_t> seen;
    for (int i = 0; i < 2000; ++i) {
        const int32_t x = a(7);
        EXPECT_EQ(x, b(7));
        ASSERT_GE(x, 0);
        ASSERT_LT(x, 7);
        seen.insert(x);
    }
    EXPECT_EQ(seen.size(), 7u);
    EXPECT_EQ(a(0), 0);
    EXPECT_EQ(a(-3), 0);
    EXPECT_EQ(a(1), 0);
}

} // namespace
} // namespace vantorel

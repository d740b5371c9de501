// Replays and their verification jobs, alike in every world-table database
// (cases of the ScoreStoreContract suite, score_store_contract.hpp): a verified
// game marks its reported row or adds one, a refusal marks nothing, and every
// game is one row.
#include "score_store_contract.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace vantorel::server {
namespace {

TReplayVerdict Game(const std::string& name, int32_t score, const std::string& add) {
    TReplayVerdict verdict;
    verdict.Verified = true;
    verdict.Outcome = "verified";
    verdict.Name = name;
    verdict.Score = score;
    verdict.Add = add;
    return verdict;
}

TReplayVerdict Refused(const std::string& outcome, const std::string& reason, bool retry = false) {
    TReplayVerdict verdict;
    verdict.Outcome = outcome;
    verdict.Reason = reason;
    verdict.Retry = retry;
    return verdict;
}

std::string File(const std::string& tag) {
    return "VANTOREL-REPLAY\x01\xFF\x00" + tag;
}

/// Runs the next job with a check that answers verdict; the job's result.
TReplayJobResult CheckNext(IScoreStore& store, const TReplayVerdict& verdict,
                           std::string* bytesSeen = nullptr) {
    const auto result = store.CheckNextReplay([&](int64_t, const std::string& bytes) {
        if (bytesSeen)
            *bytesSeen = bytes;
        return verdict;
    });
    EXPECT_TRUE(result.has_value());
    return result.value_or(TReplayJobResult{});
}

int64_t ReplayOf(IScoreStore& store, int64_t scoreId) {
    for (const TStoredScore& row : store.Top(1000))
        if (row.Id == scoreId)
            return row.ReplayId;
    ADD_FAILURE() << "no row " << scoreId;
    return -1;
}

} // namespace

// The oldest unverified row of the same game is marked, once; a further game of
// the same name, score and add text marks the next such row, and one with no
// row left adds a verified row.
TEST_P(ScoreStoreContract, AVerifiedReplayMarksItsReportedRowElseAddsOne) {
    const int64_t first = Store->Add("Ace", 500, "hi", 100);
    Store->Add("Bob", 500, "hi", 101);
    Store->Add("Ace", 500, "other", 102);
    Store->Add("ace", 500, "hi", 103);
    Store->Add("Ace", 400, "hi", 104);
    const int64_t second = Store->Add("Ace", 500, "hi", 105);

    const int64_t one = Store->AddReplay(File("one"), 200);
    const int64_t two = Store->AddReplay(File("two"), 201);
    const int64_t three = Store->AddReplay(File("three"), 202);
    EXPECT_EQ(Store->ReplayJob(one)->State, "queued");

    std::string seen;
    const TReplayJobResult marked = CheckNext(*Store, Game("Ace", 500, "hi"), &seen);
    EXPECT_EQ(seen, File("one")); // oldest first, bytes as sent
    EXPECT_EQ(marked.ReplayId, one);
    EXPECT_TRUE(marked.Verified);
    EXPECT_FALSE(marked.AddedRow);
    EXPECT_EQ(marked.ScoreId, first);
    EXPECT_EQ(ReplayOf(*Store, first), one);
    EXPECT_EQ(ReplayOf(*Store, second), 0);

    const TReplayJobResult next = CheckNext(*Store, Game("Ace", 500, "hi"));
    EXPECT_EQ(next.ReplayId, two);
    EXPECT_EQ(next.ScoreId, second);
    EXPECT_EQ(Store->Count(), 6);

    const TReplayJobResult added = CheckNext(*Store, Game("Ace", 500, "hi"));
    EXPECT_EQ(added.ReplayId, three);
    EXPECT_TRUE(added.AddedRow);
    EXPECT_EQ(Store->Count(), 7);
    EXPECT_EQ(ReplayOf(*Store, added.ScoreId), three);
    EXPECT_EQ(Store->ReplayJob(three)->State, "verified");
    EXPECT_EQ(Store->ReplayJob(three)->ScoreId, added.ScoreId);
    EXPECT_EQ(Store->VerifiedReplay(three), File("three"));
    EXPECT_FALSE(Store->CheckNextReplay([](int64_t, const std::string&) -> TReplayVerdict {
        throw std::logic_error("no job is left to check");
    }));
}

// The added row is ranked and counted as any other: it goes through the
// table's own insert, so the page's counts stay right.
TEST_P(ScoreStoreContract, VerifiedRowsAreRankedInTheWholeTable) {
    for (int32_t i = 0; i < 20; ++i)
        Store->Add("P" + std::to_string(i), i * 10, "", 1000 + i);
    Store->AddReplay(File("a"), 2000);
    Store->AddReplay(File("b"), 2001);
    const TReplayJobResult high = CheckNext(*Store, Game("Top", 1000, "x")); // added, rank 1
    const TReplayJobResult middle = CheckNext(*Store, Game("P10", 100, "")); // marks P10
    EXPECT_TRUE(high.AddedRow);
    EXPECT_FALSE(middle.AddedRow);
    EXPECT_EQ(Store->Count(), 21);
    EXPECT_EQ(Store->Range(0, 1).front().Name, "Top");

    EXPECT_EQ(Store->CountVerified(), 2);
    const std::vector<TRankedScore> verified = Store->Verified(0, 10);
    ASSERT_EQ(verified.size(), 2u);
    EXPECT_EQ(verified[0].Rank, 1);
    EXPECT_EQ(verified[0].Row.Name, "Top");
    EXPECT_EQ(verified[1].Rank, 11); // Top, then P19 down to P11 ahead of it
    EXPECT_EQ(verified[1].Row.Name, "P10");
    EXPECT_EQ(verified[1].Row.ReplayId, middle.ReplayId);
    EXPECT_EQ(Store->Verified(1, 10).size(), 1u);

    const TNamePrefix p1("P1");
    EXPECT_EQ(Store->CountByName(p1, 100), 11);
    EXPECT_EQ(Store->CountVerifiedByName(p1, 100), 1);
    const std::vector<TRankedScore> found = Store->FindVerifiedByName(p1, 0, 10);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Rank, 11);
    EXPECT_EQ(found[0].Row.Name, "P10");
}

TEST_P(ScoreStoreContract, ARefusedReplayMarksNothingAndKeepsItsReason) {
    const int64_t row = Store->Add("Ace", 500, "hi", 100);
    const int64_t id = Store->AddReplay(File("bad"), 200);
    const TReplayJobResult refused =
        CheckNext(*Store, Refused("refused", "frame 77: the state hash differs"));
    EXPECT_FALSE(refused.Verified);
    EXPECT_EQ(refused.ScoreId, 0);
    EXPECT_EQ(ReplayOf(*Store, row), 0);
    EXPECT_EQ(Store->Count(), 1);
    EXPECT_EQ(Store->CountVerified(), 0);
    const auto job = Store->ReplayJob(id);
    ASSERT_TRUE(job);
    EXPECT_EQ(job->State, "refused");
    EXPECT_EQ(job->Reason, "frame 77: the state hash differs");
    EXPECT_FALSE(Store->VerifiedReplay(id)); // only a verified file is handed out
    EXPECT_FALSE(Store->ReplayJob(id + 100));
}

// The same file sent twice (a retry, or someone replaying another's upload) is
// still one game: one row, the second refused as a duplicate.
TEST_P(ScoreStoreContract, TheSameReplayTwiceIsOneRow) {
    Store->AddReplay(File("game"), 200);
    const int64_t again = Store->AddReplay(File("game"), 201);
    EXPECT_TRUE(CheckNext(*Store, Game("Ace", 500, "hi")).Verified);
    const TReplayJobResult second = CheckNext(*Store, Game("Ace", 500, "hi"));
    EXPECT_FALSE(second.Verified);
    EXPECT_EQ(second.Outcome, "duplicate");
    EXPECT_EQ(Store->Count(), 1);
    EXPECT_EQ(Store->ReplayJob(again)->State, "refused");
}

// A verifier that cannot run puts the job back behind the others, and a check
// that throws leaves it queued; after its last attempt the job is refused.
TEST_P(ScoreStoreContract, AJobTheVerifierCouldNotRunIsTriedAgainThenRefused) {
    const int64_t first = Store->AddReplay(File("first"), 200);
    const int64_t other = Store->AddReplay(File("other"), 201);
    EXPECT_THROW(Store->CheckNextReplay([](int64_t, const std::string&) -> TReplayVerdict {
        throw std::runtime_error("the check failed");
    }),
                 std::runtime_error);
    EXPECT_EQ(Store->ReplayJob(first)->State, "queued");

    const TReplayVerdict cannotRun = Refused("verifier_error", "no game data", true);
    EXPECT_EQ(CheckNext(*Store, cannotRun).Outcome, "retry");
    EXPECT_EQ(Store->ReplayJob(first)->State, "queued");
    // The other job goes first now.
    EXPECT_EQ(CheckNext(*Store, Game("Ace", 1, "")).ReplayId, other);
    for (int attempt = 2; attempt < kMaxReplayAttempts; ++attempt)
        EXPECT_EQ(CheckNext(*Store, cannotRun).Outcome, "retry");
    const TReplayJobResult last = CheckNext(*Store, cannotRun);
    EXPECT_EQ(last.ReplayId, first);
    EXPECT_EQ(last.Outcome, "verifier_error");
    EXPECT_EQ(Store->ReplayJob(first)->State, "refused");
}

} // namespace vantorel::server

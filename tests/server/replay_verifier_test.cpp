// The replay verifier as the server runs it: a child process held to its
// limits whatever the file makes it do, and the verdict read from how it ended.
// The verifier here is tests/server/fake_replay_verifier.sh, told by the file
// what to do.
#include "server/replay_verifier.hpp"

#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace vantorel::server {
namespace {

std::string FakeVerifier() {
    return std::string(VANTOREL_SOURCE_DIR) + "/tests/server/fake_replay_verifier.sh";
}

std::string FakeReplay(const std::string& lines) {
    return "VANTOREL-REPLAY\n" + lines;
}

TVerifierCommand Command(TVerifierLimits limits = {}) {
    return {FakeVerifier(), {}, {}, limits};
}

TEST(ReplayVerifier, AGameItPlaysBackIsVerifiedWithTheTableTexts) {
    const TReplayVerifier verifier(Command());
    const TReplayVerdict verdict =
        verifier.Verify(FakeReplay("mode ok\nscore 98765\nname Max Power 12\nadd _______\n"));
    EXPECT_TRUE(verdict.Verified) << verdict.Reason;
    EXPECT_EQ(verdict.Outcome, "verified");
    EXPECT_EQ(verdict.Score, 98765);
    EXPECT_EQ(verdict.Name, "Max Power 12");
    EXPECT_EQ(verdict.Add, "_______");
}

// Whatever the file makes the verifier do, the run ends within its limits and
// the replay is refused with the reason's key; the server's thread goes on.
TEST(ReplayVerifier, AHostileReplayIsStoppedByTheLimitsAndRefused) {
    struct TCase {
        const char* Mode;
        const char* Outcome;
    };
    TVerifierLimits limits;
    limits.CpuSeconds = 1;
    limits.AddressSpaceBytes = 64ull * 1024 * 1024;
    limits.Wall = std::chrono::milliseconds(8000);
    const TReplayVerifier verifier(Command(limits));
    for (const TCase c :
         {TCase{"refuse", "refused"}, TCase{"loop", "cpu_limit"}, TCase{"flood", "output_too_long"},
          TCase{"crash", "crashed"}, TCase{"garbage", "bad_output"}}) {
        SCOPED_TRACE(c.Mode);
        const TReplayVerdict verdict = verifier.Verify(FakeReplay(std::string("mode ") + c.Mode));
        EXPECT_FALSE(verdict.Verified);
        EXPECT_FALSE(verdict.Retry);
        EXPECT_EQ(verdict.Outcome, c.Outcome) << verdict.Reason;
        EXPECT_FALSE(verdict.Reason.empty());
    }
}

TEST(ReplayVerifier, ARefusalKeepsTheVerifiersReason) {
    const TReplayVerdict verdict = TReplayVerifier(Command()).Verify(FakeReplay("mode refuse"));
    EXPECT_EQ(verdict.Reason, "frame 120: the state hash differs from the recorded one");
}

TEST(VerifierProcess, OneThatSleepsIsKilledAtTheWallClock) {
    TVerifierLimits limits;
    limits.Wall = std::chrono::milliseconds(500);
    const TVerifierRun run = RunVerifierProcess(Command(limits), FakeReplay("mode sleep"));
    EXPECT_EQ(run.End, TVerifierRun::EEnd::TimedOut);
    EXPECT_EQ(VerdictOf(run).Outcome, "timed_out");
}

// The server stopping ends a run before its deadline, and no verdict comes of
// it: the job stays queued for the next start.
TEST(VerifierProcess, TheServerStoppingEndsTheRunWithoutAVerdict) {
    TVerifierLimits limits;
    limits.Wall = std::chrono::milliseconds(60000);
    std::atomic<bool> stop{false};
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        stop = true;
    });
    const TVerifierRun run = RunVerifierProcess(Command(limits), FakeReplay("mode sleep"), &stop);
    stopper.join();
    EXPECT_EQ(run.End, TVerifierRun::EEnd::Stopped);

    TReplayVerifier verifier(Command(limits));
    verifier.Stop();
    EXPECT_THROW(verifier.Verify(FakeReplay("mode ok")), std::runtime_error);
}

TEST(VerifierProcess, OneThatLoopsIsEndedByItsCpuTime) {
    TVerifierLimits limits;
    limits.CpuSeconds = 1;
    limits.Wall = std::chrono::milliseconds(20000);
    const TVerifierRun run = RunVerifierProcess(Command(limits), FakeReplay("mode loop"));
    ASSERT_EQ(run.End, TVerifierRun::EEnd::Signalled);
    EXPECT_TRUE(run.Signal == SIGXCPU || run.Signal == SIGKILL) << run.Signal;
}

// The memory limit, not the clock, ends an allocation without end: the run
// ends by itself long before its wall-clock deadline.
TEST(VerifierProcess, OneThatAllocatesWithoutEndIsStoppedByTheMemoryLimit) {
    TVerifierLimits limits;
    limits.AddressSpaceBytes = 64ull * 1024 * 1024;
    limits.CpuSeconds = 30;
    limits.Wall = std::chrono::milliseconds(30000);
    const TVerifierRun run = RunVerifierProcess(Command(limits), FakeReplay("mode eat"));
    EXPECT_NE(run.End, TVerifierRun::EEnd::TimedOut);
    EXPECT_FALSE(run.End == TVerifierRun::EEnd::Exited && run.ExitCode == 0);
    EXPECT_FALSE(VerdictOf(run).Verified);
    EXPECT_NE(run.Error.find("alloc"), std::string::npos) << run.Error;
}

TEST(VerifierProcess, OutputPastItsCapIsCutAndTheChildKilled) {
    TVerifierLimits limits;
    limits.MaxOutputBytes = 10000;
    const TVerifierRun run = RunVerifierProcess(Command(limits), FakeReplay("mode flood"));
    EXPECT_EQ(run.End, TVerifierRun::EEnd::OutputTooLong);
    EXPECT_EQ(run.Output.size(), 10000u);
}

TEST(VerifierProcess, TheReplayFileIsGoneAfterTheRun) {
    const std::string folder = ::testing::TempDir() + "vantorel-verifier-files";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    TVerifierCommand command = Command();
    command.TempFolder = folder;
    RunVerifierProcess(command, FakeReplay("mode ok\nscore 1\nname A"));
    RunVerifierProcess(command, FakeReplay("mode crash"));
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    std::filesystem::remove_all(folder);
}

// A verifier that cannot run is no fault of the replay: the job waits for a
// later try rather than being refused.
TEST(VerifierProcess, AVerifierThatCannotRunAsksForARetry) {
    TVerifierCommand missing = Command();
    missing.Program = "/nonexistent/vantorel-replay";
    for (const TReplayVerdict& verdict :
         {VerdictOf(RunVerifierProcess(missing, FakeReplay("mode ok"))),
          TReplayVerifier(Command()).Verify(FakeReplay("mode usage"))}) {
        EXPECT_FALSE(verdict.Verified);
        EXPECT_TRUE(verdict.Retry);
        EXPECT_EQ(verdict.Outcome, "verifier_error");
    }
}

// What exit 0 must print to count as a verified game.
TEST(ReplayVerdict, OnlyAWellFormedGameLineVerifies) {
    struct TCase {
        std::string Output;
        bool Verified;
    };
    const std::vector<TCase> cases = {
        {R"({"score":5,"level":1,"frames":9,"name":"Ace","add_text":"_______"})"
         "\n",
         true},
        {R"({"score":-7,"name":"","add_text":""})", true},
        {R"({"score":2147483648,"name":"Ace","add_text":""})", false},
        {R"({"score":"5","name":"Ace","add_text":""})", false},
        {R"({"score":5,"name":"Ace"})", false},
        {R"({"score":5,"name":"<b>","add_text":""})", false},           // not a name
        {R"({"score":5,"name":"ThirteenChars","add_text":""})", false}, // too long
        {R"({"score":5,"name":"\u4e2d","add_text":""})", false},        // no Windows-1252 form
        {"{\"score\":5,\"name\":\"J\xC3\xB6rg\",\"add_text\":\"\"}",
         false}, // a report could not carry it
        {R"({"score":5,"name":"Ace","add_text":""})"
         "\n"
         R"({"score":6})",
         false},
        {"[5]", false},
        {"", false},
    };
    for (const TCase& c : cases) {
        TVerifierRun run;
        run.End = TVerifierRun::EEnd::Exited;
        run.Output = c.Output;
        EXPECT_EQ(VerdictOf(run).Verified, c.Verified) << c.Output;
    }
}

} // namespace
} // namespace vantorel::server

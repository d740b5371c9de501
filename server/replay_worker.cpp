#include "server/replay_worker.hpp"

#include <exception>

namespace vantorel::server {

TReplayWorker::TReplayWorker(IScoreStore& store, TReplayCheck check, TReplayWorkerSettings settings)
    : store_(store), check_(std::move(check)), settings_(std::move(settings)),
      thread_([this] { Run(); }) {}

TReplayWorker::~TReplayWorker() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void TReplayWorker::Wake() {
    {
        const std::lock_guard lock(mutex_);
        woken_ = true;
    }
    wake_.notify_all();
}

bool TReplayWorker::Wait(std::chrono::milliseconds time) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, time, [this] { return woken_ || stopping_; });
    woken_ = false;
    return !stopping_;
}

void TReplayWorker::Run() {
    // Jobs queued before the start (by this server before a restart, or by
    // one that died) are taken at once.
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (stopping_)
                return;
            woken_ = false;
        }
        std::chrono::milliseconds pause = settings_.Poll;
        try {
            double seconds = 0;
            const auto timed = [&](int64_t id, const std::string& bytes) {
                const auto start = std::chrono::steady_clock::now();
                TReplayVerdict verdict = check_(id, bytes);
                seconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                return verdict;
            };
            const std::optional<TReplayJobResult> done = store_.CheckNextReplay(timed);
            if (done) {
                if (settings_.Done)
                    settings_.Done(*done, seconds);
                // The next job at once, unless the verifier could not run.
                pause = done->Outcome == "retry" ? settings_.AfterFailure
                                                 : std::chrono::milliseconds(0);
            }
        } catch (const std::exception& e) {
            if (settings_.Failed)
                settings_.Failed(e.what());
            pause = settings_.AfterFailure;
        }
        if (pause.count() > 0 && !Wait(pause))
            return;
    }
}

} // namespace vantorel::server

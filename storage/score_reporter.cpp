#include "storage/score_reporter.hpp"

#include <utility>

namespace vantorel {

TScoreReporter::~TScoreReporter() {
    Join();
}

void TScoreReporter::Join() {
    if (worker_.joinable())
        worker_.join();
}

bool TScoreReporter::Start(IHttpClient& client, THttpRequest request,
                           std::optional<THttpPost> upload) {
    if (State() == TScoreReportState::Sending)
        return false;
    Join(); // the earlier worker has ended; this only collects it
    state_.store(TScoreReportState::Sending, std::memory_order_release);
    auto send = [this, &client, request = std::move(request), upload = std::move(upload)] {
        TScoreReportState outcome = TScoreReportState::Failed;
        try {
            const THttpResponse reply = client.Get(request);
            if (reply.Ok && reply.Status >= 200 && reply.Status < 300)
                outcome = TScoreReportState::Sent;
        } catch (...) {
            // A failed report is dropped like any other failure.
        }
        if (upload && outcome == TScoreReportState::Sent) {
            try {
                client.Post(*upload);
            } catch (...) {
                // A lost replay leaves the score as reported, unverified.
            }
        }
        state_.store(outcome, std::memory_order_release);
    };
    try {
        worker_ = std::thread(std::move(send));
    } catch (...) {
        // No thread for it: the report is dropped, the frame is not held up.
        state_.store(TScoreReportState::Failed, std::memory_order_release);
    }
    return true;
}

bool TScoreReporter::Finished() const {
    return State() != TScoreReportState::Sending;
}

} // namespace vantorel

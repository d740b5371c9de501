// The score server's load client and checker, used by the whole-system scripts
// beside it (load, crash and browser tests).
//
//   vantorel_load_client send --server HOST:PORT --acked FILE [--threads 8]
//                             [--reports 10000] [--tag T] [--seconds 120] [--require-all]
//       Sends distinct reports made with the game's own encoder from several
//       threads at once, one connection per thread. Report i of tag T carries the
//       name "T i" (zero-padded), a score no other report of the run has and the
//       add text "run T". Every report answered 200 is appended to FILE at once
//       (one line "i<TAB>name<TAB>score<TAB>add", flushed), so a file read after a
//       crash of the server holds exactly the acknowledged reports. Prints the
//       rate, the latency of acknowledged reports and the counts.
//
//   vantorel_load_client report --server HOST:PORT --name N --score S [--add A]
//       Sends one report and prints the status (0 when nothing answered).
//
//   vantorel_load_client get --server HOST:PORT --path P
//       Prints the status of a GET (0 when nothing answered), then the body.
//
//   vantorel_load_client check --database D --acked FILE --tag T [--exact]
//                              [--server HOST:PORT]
//       Reads the whole table through the server's own store: every acknowledged
//       report must be there exactly once, no report of the tag twice, the rows in
//       rank order with distinct ids. --exact: the tag's rows are exactly the
//       acknowledged ones. --server: the running server's JSON count equals the
//       table's and its top rows are the store's.
#include "http_test_client.hpp"
#include "score_format/score_report.hpp"
#include "server/score_store.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

struct TOptions {
    std::string Mode;
    std::string Server = "127.0.0.1:8080";
    std::string Acked;
    std::string Database;
    std::string Tag = "L";
    std::string Name;
    std::string Path;
    std::string Add;
    int32_t Score = 0;
    int Threads = 8;
    int Reports = 10000;
    int Seconds = 120;
    bool RequireAll = false;
    bool Exact = false;
    bool CheckServer = false;
};

[[noreturn]] void Usage(const std::string& why) {
    std::cerr << "vantorel_load_client: " << why << "\n"
              << "usage: send --server HOST:PORT --acked FILE [--threads N] [--reports M] [--tag T]"
                 " [--seconds S] [--require-all]\n"
                 "       report --server HOST:PORT --name N --score S [--add A]\n"
                 "       get --server HOST:PORT --path P\n"
                 "       check --database D --acked FILE --tag T [--exact] [--server HOST:PORT]\n";
    std::exit(2);
}

int ToInt(const std::string& text, const char* what) {
    try {
        size_t used = 0;
        const long long value = std::stoll(text, &used);
        if (used != text.size() || value < INT32_MIN || value > INT32_MAX)
            throw std::out_of_range(what);
        return static_cast<int>(value);
    } catch (const std::exception&) {
        Usage(std::string("not a number for ") + what + ": " + text);
    }
}

TOptions ParseOptions(int argc, char** argv) {
    if (argc < 2)
        Usage("no mode");
    TOptions o;
    o.Mode = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string flag = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                Usage(flag + " needs a value");
            return argv[++i];
        };
        if (flag == "--server") {
            o.Server = value();
            o.CheckServer = true;
        } else if (flag == "--acked")
            o.Acked = value();
        else if (flag == "--database")
            o.Database = value();
        else if (flag == "--tag")
            o.Tag = value();
        else if (flag == "--path")
            o.Path = value();
        else if (flag == "--name")
            o.Name = value();
        else if (flag == "--add")
            o.Add = value();
        else if (flag == "--score")
            o.Score = ToInt(value(), "--score");
        else if (flag == "--threads")
            o.Threads = ToInt(value(), "--threads");
        else if (flag == "--reports")
            o.Reports = ToInt(value(), "--reports");
        else if (flag == "--seconds")
            o.Seconds = ToInt(value(), "--seconds");
        else if (flag == "--require-all")
            o.RequireAll = true;
        else if (flag == "--exact")
            o.Exact = true;
        else
            Usage("unknown option " + flag);
    }
    // The name "T 0001234" must keep to the name editor's 12 characters.
    if (o.Tag.empty() || o.Tag.size() > 4)
        Usage("--tag takes 1 to 4 letters");
    if (o.Threads < 1 || o.Reports < 0 || o.Reports > 9'999'999 || o.Seconds < 1)
        Usage("--threads, --reports or --seconds out of range");
    return o;
}

std::pair<std::string, int> SplitServer(const std::string& server) {
    const size_t colon = server.rfind(':');
    if (colon == std::string::npos)
        Usage("--server needs HOST:PORT");
    return {server.substr(0, colon), ToInt(server.substr(colon + 1), "the port")};
}

/// Report i of a run: distinct names, and distinct scores spread over positive
/// and negative values in an order unlike the sending order, so ranking has work
/// to do. 7919 and the prime 100003 are coprime, so i below 100003 never repeats.
vantorel::TScoreReport ReportNumber(const std::string& tag, int i) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%07d", i);
    const int64_t spread = (static_cast<int64_t>(i) * 7919) % 100003;
    return {tag + " " + digits, static_cast<int32_t>(spread - 50000), "run " + tag};
}

std::string ReportPath(const vantorel::TScoreReport& report) {
    return "/cgi/version.pl?hs&prg=Vantorel&inf=" + vantorel::EncodeScoreReport(report);
}

/// Kept alive, without Nagle's delay (as the game's HTTP client, curl, does);
/// an answer may take 30 s under load.
using vantorel::server::test_support::THttpTestClient;
THttpTestClient MakeClient(const std::string& host, int port) {
    return {host, port, 30'000};
}

double Percentile(std::vector<double>& sorted, double p) {
    if (sorted.empty())
        return 0;
    const size_t at = static_cast<size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(at, sorted.size() - 1)];
}

int Send(const TOptions& o) {
    if (o.Acked.empty())
        Usage("send needs --acked FILE");
    const auto [host, port] = SplitServer(o.Server);
    std::ofstream acked(o.Acked, std::ios::trunc);
    if (!acked)
        Usage("cannot write " + o.Acked);

    std::atomic<int> next{0};
    std::mutex lock; // the acked file, the latencies and the tallies
    std::vector<double> latencies;
    std::map<int, int> statuses; // status -> count; 0 = no answer
    const TClock::time_point start = TClock::now();
    const TClock::time_point deadline = start + std::chrono::seconds(o.Seconds);

    auto worker = [&]() {
        THttpTestClient client = MakeClient(host, port);
        for (int i = next++; i < o.Reports && TClock::now() < deadline; i = next++) {
            const vantorel::TScoreReport report = ReportNumber(o.Tag, i);
            const TClock::time_point sent = TClock::now();
            const auto result = client.Get(ReportPath(report));
            const double ms =
                std::chrono::duration<double, std::milli>(TClock::now() - sent).count();
            const int status = result ? result->Status : 0;
            std::lock_guard guard(lock);
            ++statuses[status];
            if (status == 200) {
                latencies.push_back(ms);
                acked << i << '\t' << report.Name << '\t' << report.Score << '\t' << report.Add
                      << '\n'
                      << std::flush;
            }
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < o.Threads; ++t)
        threads.emplace_back(worker);
    for (std::thread& t : threads)
        t.join();
    const double seconds = std::chrono::duration<double>(TClock::now() - start).count();

    std::sort(latencies.begin(), latencies.end());
    int sent = 0;
    for (const auto& [status, count] : statuses)
        sent += count;
    const size_t ackedCount = latencies.size();
    std::printf("sent %d acked %zu in %.2f s: %.0f reports/s, p50 %.2f ms, p99 %.2f ms\n", sent,
                ackedCount, seconds, static_cast<double>(ackedCount) / seconds,
                Percentile(latencies, 0.50), Percentile(latencies, 0.99));
    std::printf("statuses:");
    for (const auto& [status, count] : statuses)
        std::printf(" %s=%d", status == 0 ? "none" : std::to_string(status).c_str(), count);
    std::printf("\n");
    if (o.RequireAll && (sent != o.Reports || ackedCount != static_cast<size_t>(o.Reports))) {
        std::printf("FAIL: %d reports asked for, %d sent, %zu acknowledged\n", o.Reports, sent,
                    ackedCount);
        return 1;
    }
    return 0;
}

int ReportOne(const TOptions& o) {
    const auto [host, port] = SplitServer(o.Server);
    THttpTestClient client = MakeClient(host, port);
    const auto result = client.Get(ReportPath({o.Name, o.Score, o.Add}));
    std::printf("%d\n", result ? result->Status : 0);
    return 0;
}

int GetOne(const TOptions& o) {
    const auto [host, port] = SplitServer(o.Server);
    THttpTestClient client = MakeClient(host, port);
    const auto result = client.Get(o.Path);
    std::printf("%d\n%s", result ? result->Status : 0, result ? result->Body.c_str() : "");
    return 0;
}

using TKey = std::tuple<std::string, int32_t, std::string>; // name, score, add

int Check(const TOptions& o) {
    if (o.Database.empty() || o.Acked.empty())
        Usage("check needs --database and --acked");
    std::vector<std::string> failures;
    auto fail = [&](std::string why) {
        if (failures.size() < 20)
            std::printf("FAIL: %s\n", why.c_str());
        failures.push_back(std::move(why));
    };

    std::set<TKey> ackedKeys;
    std::ifstream in(o.Acked);
    if (!in)
        Usage("cannot read " + o.Acked);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string index, name, score, add;
        if (!std::getline(fields, index, '\t') || !std::getline(fields, name, '\t') ||
            !std::getline(fields, score, '\t') || !std::getline(fields, add)) {
            fail("unreadable acked line: " + line);
            continue;
        }
        if (!ackedKeys.insert({name, ToInt(score, "an acked score"), add}).second)
            fail("acknowledged twice by the client's own record: " + name);
    }

    const std::unique_ptr<vantorel::server::IScoreStore> store =
        vantorel::server::OpenScoreStore(o.Database);
    const int64_t count = store->Count();
    const std::vector<vantorel::server::TStoredScore> rows =
        store->Top(static_cast<size_t>(count) + 100);
    if (static_cast<int64_t>(rows.size()) != count)
        fail("Count() says " + std::to_string(count) + " but Top() gives " +
             std::to_string(rows.size()) + " rows");

    std::map<TKey, int> seen;
    std::set<int64_t> ids;
    size_t tagged = 0;
    const std::string prefix = o.Tag + " ";
    for (size_t r = 0; r < rows.size(); ++r) {
        const vantorel::server::TStoredScore& row = rows[r];
        if (!ids.insert(row.Id).second)
            fail("id " + std::to_string(row.Id) + " appears twice");
        if (r > 0) {
            const vantorel::server::TStoredScore& above = rows[r - 1];
            if (above.Score < row.Score || (above.Score == row.Score && above.Id > row.Id))
                fail("rank order broken at row " + std::to_string(r + 1));
        }
        if (row.Name.starts_with(prefix)) {
            ++tagged;
            if (++seen[{row.Name, row.Score, row.Add}] == 2)
                fail("stored twice: " + row.Name);
        }
    }
    size_t missing = 0;
    for (const TKey& key : ackedKeys) {
        if (!seen.contains(key)) {
            ++missing;
            fail("acknowledged but not stored: " + std::get<0>(key));
        }
    }
    if (o.Exact && tagged != ackedKeys.size())
        fail("the table holds " + std::to_string(tagged) + " rows of run " + o.Tag + ", but " +
             std::to_string(ackedKeys.size()) + " were acknowledged");

    if (o.CheckServer) {
        const auto [host, port] = SplitServer(o.Server);
        THttpTestClient client = MakeClient(host, port);
        const auto result = client.Get("/api/v1/scores?limit=1000");
        if (!result || result->Status != 200) {
            fail("/api/v1/scores did not answer 200");
        } else {
            // Names are letters, digits and spaces: the same in UTF-8 as stored.
            const auto json = nlohmann::json::parse(result->Body, nullptr, false);
            const auto sameRow = [](const nlohmann::json& row,
                                    const vantorel::server::TStoredScore& stored) {
                return row.is_object() && row.contains("name") && row["name"].is_string() &&
                       row["name"] == stored.Name && row.contains("score") &&
                       row["score"].is_number_integer() && row["score"] == stored.Score;
            };
            size_t r = 0;
            if (!json.is_object() || !json.contains("scores") || !json["scores"].is_array() ||
                !json.contains("count") || !json["count"].is_number_integer()) {
                fail("/api/v1/scores is not the table's JSON");
            } else {
                if (json["count"] != count)
                    fail("/api/v1/scores count differs from the table's " + std::to_string(count));
                for (const nlohmann::json& row : json["scores"]) {
                    if (r >= rows.size() || !sameRow(row, rows[r])) {
                        fail("/api/v1/scores row " + std::to_string(r + 1) + " is not the store's");
                        break;
                    }
                    ++r;
                }
            }
            if (r != std::min<size_t>(rows.size(), 1000))
                fail("/api/v1/scores gave " + std::to_string(r) + " rows");
        }
    }

    std::printf("table %lld rows, run %s: %zu rows, %zu acknowledged, %zu missing, %zu "
                "unacknowledged kept\n",
                static_cast<long long>(count), o.Tag.c_str(), tagged, ackedKeys.size(), missing,
                seen.size() - (ackedKeys.size() - missing));
    return failures.empty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const TOptions o = ParseOptions(argc, argv);
    try {
        if (o.Mode == "send")
            return Send(o);
        if (o.Mode == "report")
            return ReportOne(o);
        if (o.Mode == "get")
            return GetOne(o);
        if (o.Mode == "check")
            return Check(o);
    } catch (const std::exception& e) {
        std::cerr << "vantorel_load_client: " << e.what() << "\n";
        return 1;
    }
    Usage("unknown mode " + o.Mode);
}

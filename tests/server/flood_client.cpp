// The connection flood against a running score server: holds CONNECTIONS
// connections open from ADDRESSES source addresses 127.0.0.2 and up (half of them
// silent, half trickling a header byte a second, each opened again once the server
// closes it), and meanwhile asks /healthz every 10 ms from 127.0.0.1. Prints the
// figures and fails when /healthz went unanswered or slow, or the slow connections
// were not closed by the header deadline.
//
//   vantorel_flood_client --server 127.0.0.1:PORT --pid PID [--connections 1000]
//                         [--addresses 40] [--seconds 12] [--header-deadline 5]
//                         [--p99-ms 100]
#include "http_test_client.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;
using vantorel::server::test_support::THttpTestClient;

struct TOptions {
    std::string Host = "127.0.0.1";
    int Port = 0;
    int Pid = 0;
    size_t Connections = 1000;
    int Addresses = 40;
    double Seconds = 12;
    double HeaderDeadline = 5;
    double P99Ms = 100;
};

[[noreturn]] void Usage(const std::string& why) {
    std::fprintf(stderr, "vantorel_flood_client: %s\n", why.c_str());
    std::exit(2);
}

TOptions Parse(int argc, char** argv) {
    TOptions o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--server") {
            const size_t colon = value.rfind(':');
            if (colon == std::string::npos)
                Usage("--server wants HOST:PORT");
            o.Host = value.substr(0, colon);
            o.Port = std::stoi(value.substr(colon + 1));
        } else if (key == "--pid") {
            o.Pid = std::stoi(value);
        } else if (key == "--connections") {
            o.Connections = std::stoul(value);
        } else if (key == "--addresses") {
            o.Addresses = std::stoi(value);
        } else if (key == "--seconds") {
            o.Seconds = std::stod(value);
        } else if (key == "--header-deadline") {
            o.HeaderDeadline = std::stod(value);
        } else if (key == "--p99-ms") {
            o.P99Ms = std::stod(value);
        } else {
            Usage("unknown option " + key);
        }
    }
    if (o.Port <= 0 || o.Pid <= 0)
        Usage("--server and --pid are needed");
    return o;
}

/// The server's resident memory in KiB.
long RssKiB(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmRSS:"))
            return std::atol(line.c_str() + 6);
    return -1;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

/// One flooding connection, non-blocking once connected.
struct TSlow {
    int Fd = -1;
    bool Trickles = false;
    std::string Source;
    TClock::time_point Opened;
    size_t Sent = 0;
};

int Open(const TOptions& o, const std::string& source) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, source.c_str(), &local.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<uint16_t>(o.Port));
    inet_pton(AF_INET, o.Host.c_str(), &remote.sin_addr);
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

} // namespace

int main(int argc, char** argv) {
    const TOptions o = Parse(argc, argv);
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);

    const long rssBefore = RssKiB(o.Pid);
    std::atomic<bool> done{false};
    std::vector<double> probes;
    size_t unanswered = 0;
    std::thread prober([&] {
        THttpTestClient client(o.Host, o.Port, 5000);
        while (!done) {
            const auto sent = TClock::now();
            const auto answer = client.Get("/healthz");
            const double ms =
                std::chrono::duration<double, std::milli>(TClock::now() - sent).count();
            if (answer && answer->Status == 200)
                probes.push_back(ms);
            else
                ++unanswered;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });

    const std::string header =
        "GET /healthz HTTP/1.1\r\nHost: flood\r\nX-Slow: " + std::string(4000, 'a');
    std::vector<TSlow> slow(o.Connections);
    size_t openFailures = 0;
    for (size_t i = 0; i < slow.size(); ++i) {
        slow[i].Trickles = i % 2 == 1;
        slow[i].Source = "127.0.0." + std::to_string(2 + static_cast<int>(i) % o.Addresses);
    }
    const auto start = TClock::now();
    const auto end = start + std::chrono::duration<double>(o.Seconds);
    auto lastTrickle = start;
    size_t closedSilent = 0;
    size_t closedTrickling = 0;
    size_t closedEarly = 0;
    size_t closedLate = 0;
    size_t mostHeld = 0;
    long rssDuring = 0;
    std::vector<double> closedAfter;
    while (TClock::now() < end) {
        const auto now = TClock::now();
        size_t held = 0;
        for (TSlow& s : slow) {
            if (s.Fd < 0) {
                s.Fd = Open(o, s.Source);
                s.Opened = TClock::now();
                s.Sent = 0;
                if (s.Fd < 0)
                    ++openFailures;
            }
            held += s.Fd >= 0;
        }
        mostHeld = std::max(mostHeld, held);
        const bool trickle = now - lastTrickle >= std::chrono::seconds(1);
        if (trickle)
            lastTrickle = now;
        for (TSlow& s : slow) {
            if (s.Fd < 0)
                continue;
            if (trickle && s.Trickles && s.Sent < header.size() &&
                send(s.Fd, header.data() + s.Sent, 1, MSG_NOSIGNAL) == 1)
                ++s.Sent;
            char bytes[256];
            const ssize_t got = recv(s.Fd, bytes, sizeof bytes, 0);
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
                const double after =
                    std::chrono::duration<double>(TClock::now() - s.Opened).count();
                closedAfter.push_back(after);
                (s.Trickles ? closedTrickling : closedSilent)++;
                if (after < o.HeaderDeadline - 0.5)
                    ++closedEarly;
                if (after > o.HeaderDeadline + 2)
                    ++closedLate;
                close(s.Fd);
                s.Fd = -1;
            }
        }
        rssDuring = std::max(rssDuring, RssKiB(o.Pid));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    for (TSlow& s : slow)
        if (s.Fd >= 0)
            close(s.Fd);
    done = true;
    prober.join();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long rssAfter = RssKiB(o.Pid);

    const double p50 = Percentile(probes, 0.50);
    const double p99 = Percentile(probes, 0.99);
    std::printf("flood: %zu connections held at most (%zu asked, %d source addresses), "
                "%zu failed to open\n",
                mostHeld, o.Connections, o.Addresses, openFailures);
    std::printf("flood: closed by the server: %zu silent, %zu trickling; %zu before and %zu "
                "over 2 s after the %.0f s header deadline; median after %.2f s\n",
                closedSilent, closedTrickling, closedEarly, closedLate, o.HeaderDeadline,
                Percentile(closedAfter, 0.5));
    std::printf("flood: /healthz %zu answered, %zu not; p50 %.2f ms, p99 %.2f ms\n", probes.size(),
                unanswered, p50, p99);
    std::printf("flood: server RSS before %ld KiB, during (max) %ld KiB, after %ld KiB\n",
                rssBefore, rssDuring, rssAfter);
    bool ok = true;
    const auto check = [&ok](bool good, const char* what) {
        if (!good) {
            std::printf("FAIL: %s\n", what);
            ok = false;
        }
    };
    check(mostHeld >= o.Connections * 9 / 10, "the flood could not hold its connections");
    check(unanswered == 0, "/healthz went unanswered");
    check(probes.size() >= 100, "too few /healthz answers");
    check(p99 < o.P99Ms, "/healthz p99 over the bound");
    check(closedTrickling >= o.Connections / 2 * 9 / 10, "trickling connections were not closed");
    check(closedSilent >= o.Connections / 2 * 9 / 10, "silent connections were not closed");
    check(closedEarly == 0 && closedLate == 0, "connections closed off their deadline");
    return ok ? 0 : 1;
}

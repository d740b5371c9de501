#include "server/score_store.hpp"

#include "server/postgres_score_store.hpp"
#include "server/sqlite_score_store.hpp"

#include <stdexcept>
#include <string_view>

namespace vantorel::server {

/// libpq's two forms: a URI, or key=value words (a path never holds "=" with a
/// known keyword before it; "host=", "dbname=" and the like are what people type).
bool IsPostgresConnection(std::string_view database) {
    if (database.starts_with("postgresql://") || database.starts_with("postgres://"))
        return true;
    for (const std::string_view key :
         {"host=", "hostaddr=", "dbname=", "user=", "port=", "service=", "password="}) {
        for (size_t at = database.find(key); at != std::string_view::npos;
             at = database.find(key, at + 1)) {
            if (at == 0 || database[at - 1] == ' ')
                return true;
        }
    }
    return false;
}

std::vector<TStoredScore> IScoreStore::Range(int64_t, size_t) {
    throw std::runtime_error("this store cannot read a page");
}

std::vector<TRankedScore> IScoreStore::FindByName(const TNamePrefix&, int64_t, size_t) {
    throw std::runtime_error("this store cannot search names");
}

int64_t IScoreStore::CountByName(const TNamePrefix&, int64_t) {
    throw std::runtime_error("this store cannot search names");
}

std::vector<TRankedScore> IScoreStore::Verified(int64_t, size_t) {
    throw std::runtime_error("this store keeps no replays");
}

int64_t IScoreStore::CountVerified() {
    throw std::runtime_error("this store keeps no replays");
}

std::vector<TRankedScore> IScoreStore::FindVerifiedByName(const TNamePrefix&, int64_t, size_t) {
    throw std::runtime_error("this store keeps no replays");
}

int64_t IScoreStore::CountVerifiedByName(const TNamePrefix&, int64_t) {
    throw std::runtime_error("this store keeps no replays");
}

int64_t IScoreStore::AddReplay(const std::string&, int64_t) {
    throw std::runtime_error("this store keeps no replays");
}

std::optional<TReplayJobResult> IScoreStore::CheckNextReplay(const TReplayCheck&) {
    throw std::runtime_error("this store keeps no replays");
}

std::optional<std::string> IScoreStore::VerifiedReplay(int64_t) {
    throw std::runtime_error("this store keeps no replays");
}

std::optional<TReplayJobState> IScoreStore::ReplayJob(int64_t) {
    throw std::runtime_error("this store keeps no replays");
}

int64_t ReplayDigest(std::string_view bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return static_cast<int64_t>(hash);
}

std::unique_ptr<IScoreStore> OpenScoreStore(const std::string& database) {
    if (IsPostgresConnection(database))
        return OpenPostgresScoreStore(database);
    return std::make_unique<TSqliteScoreStore>(database);
}

} // namespace vantorel::server

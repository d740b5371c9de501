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

std::unique_ptr<IScoreStore> OpenScoreStore(const std::string& database) {
    if (IsPostgresConnection(database))
        return OpenPostgresScoreStore(database);
    return std::make_unique<TSqliteScoreStore>(database);
}

} // namespace vantorel::server

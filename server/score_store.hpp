// Where the world table lives. The server speaks to its database only through
// this interface, so the one-file SQLite table and the shared PostgreSQL table
// run the same queries and answer the same way.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantorel::server {

/// One row of the world table as stored. Texts are the game's single-byte text,
/// already held to the name editor's rules when they were received.
struct TStoredScore {
    int64_t Id = 0;
    std::string Name;
    int32_t Score = 0;
    std::string Add;
    int64_t ReceivedAt = 0; ///< seconds since 1970-01-01 UTC

    bool operator==(const TStoredScore&) const = default;
};

/// A world table. Every member may be called from several request threads at
/// once; a store keeps its own connections. Failures throw std::runtime_error
/// with the database's message.
class IScoreStore {
public:
    virtual ~IScoreStore() = default;

    /// Stores one received report; returns only after it is committed, so a
    /// report that was acknowledged survives a crash of the server right after.
    /// Returns the new row's id.
    virtual int64_t Add(const std::string& name, int32_t score, const std::string& add,
                        int64_t receivedAt) = 0;

    /// The best rows, highest score first; equal scores in the order they
    /// arrived (earlier first). At most limit rows.
    virtual std::vector<TStoredScore> Top(size_t limit) = 0;

    /// How many rows the table holds.
    virtual int64_t Count() = 0;

    /// True when the database answers a trivial query now.
    virtual bool Healthy() = 0;
};

/// Opens (and creates, with its table and index, when missing) the store named
/// by database: a PostgreSQL connection string ("postgresql://..." or
/// "postgres://...", or key=value words such as "host=... dbname=...") opens
/// PostgreSQL; anything else is the path of a SQLite file.
std::unique_ptr<IScoreStore> OpenScoreStore(const std::string& database);

} // namespace vantorel::server

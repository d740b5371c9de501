// vantorel-scored --backup: a consistent copy of a SQLite world table taken
// while servers keep writing to it.
#pragma once

#include <cstdint>
#include <string>

namespace vantorel::server {

/// Copies the SQLite database at source to target with SQLite's online backup,
/// a few hundred pages a step with short pauses between, so that the running
/// servers' commits go on meanwhile (WAL: a writer never waits for this
/// reader). The copy is the table as of the moment the backup began: one read
/// transaction spans every step. It is written to a temporary file beside
/// target, flushed and renamed over target, so target is either the old file
/// or a whole new copy. Returns the number of pages copied; throws
/// std::runtime_error with the reason otherwise (the temporary file removed).
int64_t BackupSqliteDatabase(const std::string& source, const std::string& target);

} // namespace vantorel::server

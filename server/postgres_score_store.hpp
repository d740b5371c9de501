// The world table in PostgreSQL, for a table shared by several server
// processes behind a load balancer.
#pragma once

#include "server/score_store.hpp"

namespace vantorel::server {

/// Connects with a libpq connection string and creates the table and its index
/// when missing.
std::unique_ptr<IScoreStore> OpenPostgresScoreStore(const std::string& connection);

} // namespace vantorel::server

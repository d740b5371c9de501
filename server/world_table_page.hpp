// The world table's web pages: the table itself and the short pages that answer
// a report or a refused request. Small HTML5 pages in the game's look (dark navy,
// cyan text, gold headings and top three) with no external resources.
#pragma once

#include "server/score_store.hpp"

#include <string>
#include <vector>

namespace vantorel::server {

/// The page title, also the table's heading.
inline constexpr const char* kWorldTableTitle = "Vantorel World Highscores";

/// The table: one <tr class="score"> per row, cells rank, name, score, add text
/// and date (UTC, YYYY-MM-DD), rows in the order given; count is the number of
/// reports the table holds in all.
std::string RenderWorldTablePage(const std::vector<TStoredScore>& rows, int64_t count);

/// A short page with a heading and one line of text (both Windows-1252 text,
/// escaped here).
std::string RenderMessagePage(const std::string& heading, const std::string& text);

} // namespace vantorel::server

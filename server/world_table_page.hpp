// The world table's web pages: the table itself and the short pages that answer
// a report or a refused request. Small HTML5 pages in the game's look (the title
// art, dark navy, cyan text, gold headings and top three) that read on a phone
// as well as on a desktop, with nothing loaded from elsewhere.
#pragma once

#include "server/score_store.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::server {

/// The page title, also the table's heading.
inline constexpr const char* kWorldTableTitle = "Vantorel World Highscores";
/// The page's address as the game opens it; further pages and searches add
/// &page=N and &name=TEXT.
inline constexpr const char* kWorldTableTarget = "/cgi/version.pl?prg=Vantorel&show&type=0";
/// Where the page finds the logo (served by TScoreService).
inline constexpr const char* kLogoPath = "/logo.svg";

/// One view of the world table: a page of the whole table, or a page of the
/// scores whose names start with a searched text.
struct TWorldTableView {
    std::vector<TRankedScore> Rows; ///< in the order shown, each with its world rank
    int64_t Count = 0;              ///< reports the table holds in all
    int64_t Page = 1;               ///< the page shown, from 1; may lie past the last
    int64_t Pages = 1;              ///< pages of the view, at least 1
    /// The name searched for (Windows-1252 text); nothing for the whole table.
    std::optional<std::string> Search;
    int64_t Matches = 0;      ///< for a search: scores found, at most the search's cap
    bool MoreMatches = false; ///< for a search: more were found than Matches
    /// Verified scores only (&verified=1); Count is then the verified rows'.
    bool VerifiedOnly = false;
};

/// The table: one <tr class="score"> per row (class "score top" for the world's
/// first three, and "verified" on a row a replay proved), cells rank, name,
/// score, add text, date (UTC, YYYY-MM-DD) and replay (a verified row's mark,
/// a link to download its replay); links to the previous and next page, one to
/// the verified scores alone (or back to all), a search form, and a line
/// saying what is shown. A page past the end shows no rows and a link back.
std::string RenderWorldTablePage(const TWorldTableView& view);

/// The request target of a page of the view (the legacy address, with &page and
/// &name when they are not the first page and the whole table); %-encoded, not
/// yet escaped for HTML.
std::string WorldTablePageTarget(int64_t page, const std::optional<std::string>& search,
                                 bool verifiedOnly = false);

/// A short page with a heading and one line of text (both Windows-1252 text,
/// escaped here).
std::string RenderMessagePage(const std::string& heading, const std::string& text);

} // namespace vantorel::server

#include "server/world_table_page.hpp"

#include "server/web_text.hpp"

namespace vantorel::server {

namespace {

constexpr const char* kStyle = R"(
body{margin:0;padding:2em 1em;background:#0b1030;color:#5ff4ff;
font-family:"DejaVu Sans",Verdana,Arial,sans-serif;text-align:center}
h1{color:#ffc83d;font-size:2em;letter-spacing:.08em;text-shadow:0 0 8px #b07a00;margin:0 0 .2em}
p{color:#9fdfff}
table{margin:1.5em auto;border-collapse:collapse;min-width:60%}
th{color:#ffc83d;border-bottom:2px solid #ffc83d;padding:.4em 1em}
td{padding:.3em 1em;border-bottom:1px solid #1c2a66}
td.score,td.rank,th.number{text-align:right;font-variant-numeric:tabular-nums}
tr.top td{color:#ffd75e;font-weight:bold}
tr.score:hover td{background:#142057}
)";

std::string PageHead(const std::string& title) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
           HtmlText(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
}

} // namespace

std::string RenderWorldTablePage(const std::vector<TStoredScore>& rows, int64_t count) {
    std::string page = PageHead(kWorldTableTitle);
    page += "<h1>" + HtmlText(kWorldTableTitle) + "</h1>\n";
    page += "<p>" + std::to_string(count) + (count == 1 ? " score" : " scores") +
            " received from pilots around the world.</p>\n";
    if (rows.empty()) {
        page += "<p class=\"empty\">No scores yet. Be the first!</p>\n";
    } else {
        page += "<table>\n<thead><tr><th class=\"number\">Rank</th><th>Name</th><th "
                "class=\"number\">Score</th><th>Add text</th>"
                "<th>Date</th></tr></thead>\n<tbody>\n";
        size_t rank = 0;
        for (const TStoredScore& row : rows) {
            ++rank;
            page += rank <= 3 ? "<tr class=\"score top\">" : "<tr class=\"score\">";
            page += "<td class=\"rank\">" + std::to_string(rank) + "</td>";
            page += "<td class=\"name\">" + HtmlText(row.Name) + "</td>";
            page += "<td class=\"score\">" + std::to_string(row.Score) + "</td>";
            page += "<td class=\"add\">" + HtmlText(row.Add) + "</td>";
            page += "<td class=\"date\">" + UtcDate(row.ReceivedAt) + "</td></tr>\n";
        }
        page += "</tbody>\n</table>\n";
    }
    page += "</body>\n</html>\n";
    return page;
}

std::string RenderMessagePage(const std::string& heading, const std::string& text) {
    return PageHead(heading) + "<h1>" + HtmlText(heading) + "</h1>\n<p>" + HtmlText(text) +
           "</p>\n</body>\n</html>\n";
}

} // namespace vantorel::server

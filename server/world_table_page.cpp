#include "server/world_table_page.hpp"

#include "server/scores_json.hpp"
#include "server/web_text.hpp"

#include "base/text_encoding.hpp"

#include <cstdio>

namespace vantorel::server {

namespace {

// The colours of the game's menus (assets/res1: the panels' navy, the neon cyan
// of the title's glow, the gold of the lit buttons). Contrast against the
// background #0b1030 (WCAG 2 contrast ratios): table text #5ff4ff 14.0:1, gold
// headings #ffc83d 12.0:1, top three #ffd75e 13.4:1, other text #9fdfff 12.8:1,
// the search field's text #e8fdff 18.7:1 on #070a1a (AA asks 4.5:1).
constexpr const char* kStyle = R"(
*{box-sizing:border-box}
html{color-scheme:dark}
body{margin:0;padding:1.5em 1em 3em;background:#0b1030;color:#9fdfff;line-height:1.4;
font-family:"DejaVu Sans",Verdana,Arial,sans-serif;text-align:center}
.logo{display:block;width:100%;max-width:780px;height:auto;margin:0 auto}
h1{color:#ffc83d;font-size:1.7em;letter-spacing:.08em;text-shadow:0 0 8px #b07a00;margin:.1em 0 .3em}
p{margin:.5em 0}
a{color:#5ff4ff}
a:hover{color:#ffc83d}
:focus-visible{outline:2px solid #ffc83d;outline-offset:2px}
form{display:flex;flex-wrap:wrap;gap:.5em;justify-content:center;align-items:center;margin:1em 0}
label{color:#ffc83d}
input,button{font:inherit;padding:.35em .7em;border:1px solid #2fe3ff;border-radius:4px;color:#e8fdff}
input{width:11em;background:#070a1a}
button{background:#142a5c;cursor:pointer}
.scroll{overflow-x:auto}
table{margin:.5em auto;border-collapse:collapse;min-width:60%}
th{color:#ffc83d;border-bottom:2px solid #ffc83d;padding:.4em 1em;text-align:left}
td{color:#5ff4ff;padding:.3em 1em;border-bottom:1px solid #1c2a66;text-align:left;white-space:nowrap}
td.score,td.rank,th.number{text-align:right;font-variant-numeric:tabular-nums}
tr.top td{color:#ffd75e;font-weight:bold}
.mark{color:#7dff9a;font-weight:bold}
tr.score:hover td{background:#142057}
nav{display:flex;flex-wrap:wrap;justify-content:center;align-items:center;gap:.5em 1.5em;margin:1em 0}
@media (max-width:600px){
body{padding:.8em .3em 2em;font-size:15px}
h1{font-size:1.25em;letter-spacing:.04em}
th,td{padding:.3em .4em}
table{width:100%}
}
@media (max-width:480px){.date{display:none}}
)";

std::string PageHead(const std::string& title) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
           HtmlText(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
}

/// 1234567 as "1,234,567".
std::string Grouped(int64_t value) {
    std::string digits =
        std::to_string(value < 0 ? -static_cast<uint64_t>(value) : static_cast<uint64_t>(value));
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return value < 0 ? "-" + digits : digits;
}

/// Text of a query value: UTF-8 bytes %-encoded but for the unreserved ones.
std::string QueryValue(std::string_view utf8) {
    std::string out;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
            byte == '~') {
            out += c;
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", byte);
            out += escape;
        }
    }
    return out;
}

std::string Link(int64_t page, const std::optional<std::string>& search, bool verifiedOnly,
                 const std::string& text, const char* rel = nullptr) {
    std::string link =
        "<a href=\"" + HtmlText(WorldTablePageTarget(page, search, verifiedOnly)) + "\"";
    if (rel)
        link += std::string(" rel=\"") + rel + "\"";
    return link + ">" + text + "</a>";
}

/// The searched text between quotes, for the page's sentences.
std::string Quoted(const std::string& search) {
    return "\xE2\x80\x9C" + HtmlText(search) + "\xE2\x80\x9D";
}

std::string SearchForm(const std::optional<std::string>& search, bool verifiedOnly) {
    std::string form = "<form method=\"get\" action=\"/cgi/version.pl\" role=\"search\">\n"
                       "<input type=\"hidden\" name=\"prg\" value=\"Vantorel\">"
                       "<input type=\"hidden\" name=\"show\" value=\"\">"
                       "<input type=\"hidden\" name=\"type\" value=\"0\">";
    if (verifiedOnly)
        form += "<input type=\"hidden\" name=\"verified\" value=\"1\">";
    form += "\n<label for=\"name\">Find a pilot</label>\n"
            "<input type=\"search\" id=\"name\" name=\"name\" maxlength=\"12\" "
            "autocomplete=\"off\" placeholder=\"Name or its start\"";
    if (search)
        form += " value=\"" + HtmlText(*search) + "\"";
    return form + ">\n<button type=\"submit\">Search</button>\n</form>\n";
}

/// The link between the whole table and its verified scores, for the view's search.
std::string FilterLink(const TWorldTableView& view) {
    if (view.VerifiedOnly)
        return "<p class=\"filter\">" + Link(1, view.Search, false, "Show every score") + "</p>\n";
    return "<p class=\"filter\">" +
           Link(1, view.Search, true, "Show only scores verified by their replay") + "</p>\n";
}

/// What the view shows, in a sentence or two.
std::string Summary(const TWorldTableView& view) {
    if (!view.Search && view.VerifiedOnly) {
        if (view.Count == 0)
            return "<p class=\"empty\">No score has been verified by its replay yet.</p>\n";
        return "<p class=\"total\">" + Grouped(view.Count) +
               (view.Count == 1 ? " score" : " scores") +
               " verified: the server played the game\xE2\x80\x99s replay back and got the same "
               "score. Ranks are in the whole table.</p>\n";
    }
    if (!view.Search) {
        if (view.Count == 0)
            return "<p class=\"empty\">No scores yet. Be the first!</p>\n";
        return "<p class=\"total\">" + Grouped(view.Count) +
               (view.Count == 1 ? " score" : " scores") +
               " received from pilots around the world.</p>\n";
    }
    const std::string who = Quoted(*view.Search);
    std::string text;
    if (view.Matches == 0) {
        text = "<p class=\"found\">No pilot\xE2\x80\x99s name starts with " + who + ".</p>\n";
    } else if (view.MoreMatches) {
        text = "<p class=\"found\">More than " + Grouped(view.Matches) +
               " scores of pilots whose name starts with " + who + "; the first " +
               Grouped(view.Matches) + " are shown. Type more of the name to find fewer.</p>\n";
    } else {
        text = "<p class=\"found\">" + Grouped(view.Matches) +
               (view.Matches == 1 ? " score" : " scores") +
               (view.VerifiedOnly ? " verified by their replay" : "") +
               " of pilots whose name starts with " + who + ", with their world rank.</p>\n";
    }
    return text + "<p>" + Link(1, std::nullopt, false, "Back to the whole table") + "</p>\n";
}

std::string Table(const std::vector<TRankedScore>& rows) {
    std::string table = "<div class=\"scroll\">\n<table>\n<thead><tr>"
                        "<th scope=\"col\" class=\"number\">Rank</th>"
                        "<th scope=\"col\">Name</th>"
                        "<th scope=\"col\" class=\"number\">Score</th>"
                        "<th scope=\"col\">Add text</th>"
                        "<th scope=\"col\" class=\"date\">Date</th>"
                        "<th scope=\"col\">Replay</th></tr></thead>\n<tbody>\n";
    for (const TRankedScore& ranked : rows) {
        const TStoredScore& row = ranked.Row;
        table += std::string("<tr class=\"score") + (ranked.Rank <= 3 ? " top" : "") +
                 (row.ReplayId != 0 ? " verified" : "") + "\">";
        table += "<td class=\"rank\">" + std::to_string(ranked.Rank) + "</td>";
        table += "<td class=\"name\">" + HtmlText(row.Name) + "</td>";
        table += "<td class=\"score\">" + std::to_string(row.Score) + "</td>";
        table += "<td class=\"add\">" + HtmlText(row.Add) + "</td>";
        table += "<td class=\"date\">" + UtcDate(row.ReceivedAt) + "</td>";
        if (row.ReplayId != 0)
            table +=
                "<td class=\"replay\"><span class=\"mark\" title=\"Verified: the server played "
                "the replay back\">\xE2\x9C\x93</span> <a href=\"" +
                ReplayPath(row.ReplayId) + "\" download>replay</a></td></tr>\n";
        else
            table += "<td class=\"replay\"></td></tr>\n";
    }
    return table + "</tbody>\n</table>\n</div>\n";
}

std::string Pages(const TWorldTableView& view) {
    if (view.Page > view.Pages) {
        return "<p class=\"past\">There is no page " + Grouped(view.Page) + " here. " +
               Link(view.Pages, view.Search, view.VerifiedOnly,
                    view.Pages == 1 ? "Back to the first page"
                                    : "Back to the last page, " + Grouped(view.Pages)) +
               "</p>\n";
    }
    if (view.Pages <= 1)
        return {};
    std::string nav = "<nav aria-label=\"Pages\">\n";
    if (view.Page > 1)
        nav +=
            Link(view.Page - 1, view.Search, view.VerifiedOnly, "\xE2\x86\x90 Previous", "prev") +
            "\n";
    nav += "<span>Page " + Grouped(view.Page) + " of " + Grouped(view.Pages) + "</span>\n";
    if (view.Page < view.Pages)
        nav +=
            Link(view.Page + 1, view.Search, view.VerifiedOnly, "Next \xE2\x86\x92", "next") + "\n";
    return nav + "</nav>\n";
}

} // namespace

std::string WorldTablePageTarget(int64_t page, const std::optional<std::string>& search,
                                 bool verifiedOnly) {
    std::string target = kWorldTableTarget;
    if (search)
        target += "&name=" + QueryValue(Cp1252ToUtf8(*search));
    if (verifiedOnly)
        target += "&verified=1";
    if (page != 1)
        target += "&page=" + std::to_string(page);
    return target;
}

std::string RenderWorldTablePage(const TWorldTableView& view) {
    std::string page = PageHead(kWorldTableTitle);
    page += "<header>\n<img class=\"logo\" src=\"" + std::string(kLogoPath) +
            "\" alt=\"Vantorel\" width=\"780\" height=\"125\">\n<h1>" + HtmlText(kWorldTableTitle) +
            "</h1>\n</header>\n<main>\n";
    page += Summary(view);
    page += FilterLink(view);
    page += SearchForm(view.Search, view.VerifiedOnly);
    if (!view.Rows.empty()) {
        // The page links above the table too, when there are several pages.
        if (view.Pages > 1)
            page += Pages(view);
        page += Table(view.Rows);
    }
    page += Pages(view);
    page += "</main>\n</body>\n</html>\n";
    return page;
}

std::string RenderMessagePage(const std::string& heading, const std::string& text) {
    return PageHead(heading) + "<h1>" + HtmlText(heading) + "</h1>\n<p>" + HtmlText(text) +
           "</p>\n</body>\n</html>\n";
}

} // namespace vantorel::server

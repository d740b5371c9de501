// The world table page as players use it: paging through the table, finding
// their own name, bad page numbers and searches, HTTP caching, the logo and
// the way in at "/", on SQLite and on PostgreSQL; and every kind of page is
// valid HTML by Debian's tidy.
#include "server/score_service.hpp"
#include "server/world_table_page.hpp"

#include "score_store_contract.hpp"
#include "server_test_support.hpp"
#include "test_databases.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace vantorel::server {
namespace {

using test_support::MakeEmptyPostgresStore;
using test_support::MakeEmptySqliteStore;
using test_support::TTempFolder;

constexpr int64_t kNow = 1'796'875'200; // 2026-12-10 04:00:00 UTC
const std::string kTable = "/cgi/version.pl?prg=Vantorel&show&type=0";

/// Rank and name of every score row of a page.
std::vector<std::pair<std::string, std::string>> RanksAndNames(const std::string& page) {
    std::vector<std::pair<std::string, std::string>> rows;
    const std::regex row("<tr class=\"score[^\"]*\"><td class=\"rank\">([^<]*)</td>"
                         "<td class=\"name\">([^<]*)</td>");
    for (auto r = std::sregex_iterator(page.begin(), page.end(), row); r != std::sregex_iterator();
         ++r)
        rows.emplace_back((*r)[1], (*r)[2]);
    return rows;
}

std::string HeaderOf(const TWebResponse& response, const std::string& name) {
    for (const auto& [key, value] : response.Headers)
        if (key == name)
            return value;
    return {};
}

class WorldTablePage : public ::testing::TestWithParam<TScoreStoreFactory> {
protected:
    void SetUp() override {
        store_ = GetParam().Make();
        if (IsSkipped())
            return;
        ASSERT_NE(store_, nullptr);
        service_ = std::make_unique<TScoreService>(
            *store_, 0, TServiceClock{[] { return kNow; }, [] { return int64_t{0}; }});
    }

    TWebResponse Get(const std::string& target, const std::string& ifNoneMatch = {},
                     const char* method = "GET") {
        return service_->Handle({method, target, "10.0.0.1", ifNoneMatch});
    }

    /// Pilots P0..P(n-1) with scores n-1 .. 0: P0 is first, P(n-1) last.
    void AddPilots(int n) {
        for (int i = 0; i < n; ++i)
            store_->Add("P" + std::to_string(i), n - 1 - i, "", kNow);
    }

    std::unique_ptr<IScoreStore> store_;
    std::unique_ptr<TScoreService> service_;
};

// 250 scores: three pages of 100, 100 and 50, each with the world ranks of its
// rows and links to its neighbours; the game's own link and page=1 are the
// first page; a page past the end is empty and links back to the last.
TEST_P(WorldTablePage, PagesOfAHundredWithLinksBothWays) {
    AddPilots(250);
    struct TCase {
        std::string Query;
        size_t Rows;
        const char* FirstRank;
        const char* FirstName;
        bool Previous;
        bool Next;
    };
    const std::vector<TCase> cases = {
        {"", 100, "1", "P0", false, true},
        {"&page=1", 100, "1", "P0", false, true},
        {"&page=2", 100, "101", "P100", true, true},
        {"&page=3", 50, "201", "P200", true, false},
        {"&page=0003", 50, "201", "P200", true, false},
    };
    for (const TCase& c : cases) {
        const TWebResponse page = Get(kTable + c.Query);
        ASSERT_EQ(page.Status, 200) << c.Query;
        const auto rows = RanksAndNames(page.Body);
        ASSERT_EQ(rows.size(), c.Rows) << c.Query;
        EXPECT_EQ(rows.front(), std::make_pair(std::string(c.FirstRank), std::string(c.FirstName)))
            << c.Query;
        EXPECT_NE(page.Body.find("250 scores"), std::string::npos) << c.Query;
        EXPECT_EQ(page.Body.find("rel=\"prev\"") != std::string::npos, c.Previous) << c.Query;
        EXPECT_EQ(page.Body.find("rel=\"next\"") != std::string::npos, c.Next) << c.Query;
    }
    EXPECT_NE(Get(kTable + "&page=2")
                  .Body.find("href=\"/cgi/version.pl?prg=Vantorel&amp;show&amp;"
                             "type=0&amp;page=3\" rel=\"next\""),
              std::string::npos);

    const TWebResponse past = Get(kTable + "&page=4");
    EXPECT_EQ(past.Status, 200);
    EXPECT_TRUE(RanksAndNames(past.Body).empty());
    EXPECT_NE(past.Body.find("There is no page 4"), std::string::npos);
    EXPECT_NE(past.Body.find("&amp;page=3\">Back to the last page"), std::string::npos);
    const TWebResponse far = Get(kTable + "&page=1000000000");
    EXPECT_EQ(far.Status, 200);
    EXPECT_TRUE(RanksAndNames(far.Body).empty());
}

// Garbage in the page number or the searched name gets 400 (a target too long
// for any request 414), and nothing is stored by it.
TEST_P(WorldTablePage, BadPageNumbersAndSearchesAreRefused) {
    AddPilots(3);
    struct TCase {
        std::string Query;
        int Status;
    };
    const std::vector<TCase> cases = {
        {"&page=0", 400},
        {"&page=-1", 400},
        {"&page=-0", 400},
        {"&page=+2", 400},
        {"&page=", 400},
        {"&page=abc", 400},
        {"&page=1.5", 400},
        {"&page=2x", 400},
        {"&page=%202", 400},
        {"&page=1000000001", 400},
        {"&page=99999999999999999999999", 400},
        {"&page=1&page=2", 400},
        {"&name=ABCDEFGHIJKLM", 400},               // longer than a name
        {"&name=%FF", 400},                         // not UTF-8
        {"&name=%C3", 400},                         // cut UTF-8
        {"&name=" + std::string(10'000, 'A'), 414}, // no request is that long
        {"&name=%E2%98%83", 200},                   // no Windows-1252 form: found nowhere
        {"&name=ABCDEFGHIJKL", 200},
    };
    for (const TCase& c : cases) {
        const TWebResponse page = Get(kTable + c.Query);
        EXPECT_EQ(page.Status, c.Status) << c.Query.substr(0, 60);
        if (c.Status != 200) {
            EXPECT_TRUE(HeaderOf(page, "ETag").empty()) << c.Query.substr(0, 60);
        }
    }
    EXPECT_EQ(store_->Count(), 3);
}

// A search finds every score whose name starts with the text, in any case (as
// the game compares names, Windows-1252 capitals included), each with its rank
// in the whole table; names in order, a name's scores best first.
TEST_P(WorldTablePage, ANameSearchShowsEachMatchWithItsWorldRank) {
    struct TRow {
        const char* Name;
        int32_t Score;
    };
    for (const TRow& row : std::vector<TRow>{{"Bob", 900},
                                             {"ace", 800},
                                             {"Acer", 700},
                                             {"ACE", 700}, // equal to Acer, came later: below it
                                             {"J\xD6RG", 600},
                                             {"Zed", 500},
                                             {"Ace", 100},
                                             {"Bace", 50}})
        store_->Add(row.Name, row.Score, "", kNow);
    using TRows = std::vector<std::pair<std::string, std::string>>;
    struct TCase {
        std::string Query;
        TRows Rows;
        const char* Sentence;
    };
    const std::vector<TCase> cases = {
        {"&name=ace", {{"2", "ace"}, {"4", "ACE"}, {"7", "Ace"}, {"3", "Acer"}}, "4 scores of"},
        {"&name=ACE+", {}, "No pilot"},
        {"&name=AcEr", {{"3", "Acer"}}, "1 score of"},
        {"&name=j%C3%B6", {{"5", "J\xC3\x96RG"}}, "1 score of"},
        {"&name=%C3%96", {}, "No pilot"},
        {"&name=zz", {}, "No pilot"},
        {"&name=",
         {{"1", "Bob"},
          {"2", "ace"},
          {"3", "Acer"},
          {"4", "ACE"},
          {"5", "J\xC3\x96RG"},
          {"6", "Zed"},
          {"7", "Ace"},
          {"8", "Bace"}},
         "8 scores received"},
    };
    for (const TCase& c : cases) {
        const TWebResponse page = Get(kTable + c.Query);
        ASSERT_EQ(page.Status, 200) << c.Query;
        EXPECT_EQ(RanksAndNames(page.Body), c.Rows) << c.Query;
        EXPECT_NE(page.Body.find(c.Sentence), std::string::npos) << c.Query;
    }
    // The search stays in the form, and in the links of further pages.
    EXPECT_NE(Get(kTable + "&name=j%C3%B6").Body.find("value=\"j\xC3\xB6\""), std::string::npos);
}

// A common start of names finds more than ten pages' worth: the first 1000 are
// shown over ten pages, in order, with the next link carrying the search.
TEST_P(WorldTablePage, ASearchMatchingManyShowsTheFirstThousandInPages) {
    AddPilots(1005);
    const TWebResponse first = Get(kTable + "&name=p");
    EXPECT_NE(first.Body.find("More than 1,000 scores"), std::string::npos);
    EXPECT_NE(first.Body.find("&amp;name=p&amp;page=2\" rel=\"next\""), std::string::npos);
    const auto rows = RanksAndNames(first.Body);
    ASSERT_EQ(rows.size(), 100u);
    EXPECT_EQ(rows[0], std::make_pair(std::string("1"), std::string("P0")));
    EXPECT_EQ(rows[2], std::make_pair(std::string("11"), std::string("P10")));
    const auto last = RanksAndNames(Get(kTable + "&name=p&page=10").Body);
    ASSERT_EQ(last.size(), 100u);
    EXPECT_EQ(RanksAndNames(Get(kTable + "&name=p&page=11").Body).size(), 0u);
    EXPECT_EQ(RanksAndNames(Get(kTable + "&name=P100").Body).size(), 6u); // P100..P1004
}

// The page and the JSON carry a validator and a short lifetime; the same
// validator back gets 304 with no body, until the table changes.
TEST_P(WorldTablePage, PageAndJsonAnswer304ToTheirOwnETag) {
    AddPilots(2);
    for (const std::string& target :
         {kTable, kTable + "&page=1", kTable + "&name=p", std::string("/api/v1/scores")}) {
        const TWebResponse full = Get(target);
        const std::string tag = HeaderOf(full, "ETag");
        ASSERT_EQ(full.Status, 200) << target;
        ASSERT_FALSE(tag.empty()) << target;
        EXPECT_EQ(HeaderOf(full, "Cache-Control"), "max-age=10") << target;
        struct TCase {
            std::string IfNoneMatch;
            int Status;
        };
        for (const TCase& c : std::vector<TCase>{{tag, 304},
                                                 {"W/" + tag, 304},
                                                 {"\"x\", " + tag, 304},
                                                 {"*", 304},
                                                 {"\"other\"", 200},
                                                 {tag.substr(1), 200}}) {
            const TWebResponse again = Get(target, c.IfNoneMatch);
            EXPECT_EQ(again.Status, c.Status) << target << " " << c.IfNoneMatch;
            EXPECT_EQ(again.Body.empty(), c.Status == 304) << target << " " << c.IfNoneMatch;
            EXPECT_EQ(HeaderOf(again, "ETag"), tag) << target;
        }
        EXPECT_EQ(Get(target, tag, "HEAD").Status, 304) << target;
    }
    const std::string before = HeaderOf(Get(kTable), "ETag");
    store_->Add("Pnew", 99, "", kNow);
    const TWebResponse changed = Get(kTable, before);
    EXPECT_EQ(changed.Status, 200);
    EXPECT_NE(HeaderOf(changed, "ETag"), before);
}

TEST_P(WorldTablePage, TheRootLeadsToTheTableAndTheLogoIsServed) {
    const TWebResponse root = Get("/");
    EXPECT_EQ(root.Status, 302);
    EXPECT_EQ(HeaderOf(root, "Location"), kTable);

    const TWebResponse logo = Get("/logo.svg");
    ASSERT_EQ(logo.Status, 200);
    EXPECT_EQ(logo.ContentType, "image/svg+xml");
    EXPECT_TRUE(logo.Body.starts_with("<?xml")) << logo.Body.substr(0, 40);
    EXPECT_NE(logo.Body.find(">VANTOREL</text>"), std::string::npos);
    EXPECT_EQ(HeaderOf(logo, "Cache-Control"), "max-age=86400");
    EXPECT_EQ(Get("/logo.svg", HeaderOf(logo, "ETag")).Status, 304);
    EXPECT_NE(Get(kTable).Body.find("<img class=\"logo\" src=\"/logo.svg\" alt=\"Vantorel\""),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, WorldTablePage,
                         ::testing::Values(TScoreStoreFactory{MakeEmptySqliteStore}));
INSTANTIATE_TEST_SUITE_P(Postgres, WorldTablePage,
                         ::testing::Values(TScoreStoreFactory{MakeEmptyPostgresStore}));

/// tidy's complaints about an HTML page (warnings and errors), empty when none.
std::string TidyComplaints(const TTempFolder& folder, const std::string& html) {
    const auto path = folder.File("page.html");
    std::ofstream(path, std::ios::binary) << html;
    const std::string command = "tidy -errors -q '" + path.string() + "' 2>&1";
    std::string output;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        const int status = pclose(pipe);
        if (status != 0 && output.empty())
            output = "tidy ended with status " + std::to_string(status);
    } else {
        output = "tidy could not be started";
    }
    return output;
}

// Every kind of page the table shows passes tidy without a warning: no rows,
// a full page, a search with hits and without, a page past the end, texts
// with markup characters and Windows-1252 letters, verified rows with their
// replay links, and the verified scores alone.
TEST(WorldTablePageHtml, EveryKindOfPageIsValidHtml) {
    TTempFolder folder;
    std::vector<TRankedScore> full;
    for (int i = 0; i < 100; ++i)
        full.push_back({i + 101, {i, "Pilot " + std::to_string(i), 1000 - i, "_______", kNow}});
    const std::vector<TRankedScore> odd = {
        {1, {1, "<b>&\"'\xD6\x80\x81", 5, "a<b>&c \x9F\xFF", kNow}}, {2, {2, "", -5, "", 0, 17}}};
    struct TCase {
        const char* Label;
        TWorldTableView View;
    };
    const std::vector<TCase> cases = {
        {"empty table", {{}, 0, 1, 1, std::nullopt, 0, false}},
        {"a full middle page", {full, 1234, 2, 13, std::nullopt, 0, false}},
        {"markup and Windows-1252 texts", {odd, 2, 1, 1, std::nullopt, 0, false}},
        {"a search with hits", {odd, 0, 1, 1, std::string("<&\xD6"), 2, false}},
        {"a search with more hits than shown", {full, 0, 3, 10, std::string("P"), 1000, true}},
        {"a search without hits", {{}, 0, 1, 1, std::string("\"x'<"), 0, false}},
        {"a page past the end", {{}, 250, 9, 3, std::nullopt, 0, false}},
        {"verified scores only", {odd, 2, 1, 1, std::nullopt, 0, false, true}},
        {"verified scores of a search", {odd, 0, 1, 1, std::string("<"), 2, false, true}},
        {"no verified score yet", {{}, 0, 1, 1, std::nullopt, 0, false, true}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(TidyComplaints(folder, RenderWorldTablePage(c.View)), "") << c.Label;
    EXPECT_EQ(TidyComplaints(folder, RenderMessagePage("Bad <report>", "A & B \xE9")), "");
}

} // namespace
} // namespace vantorel::server

#include "results/HtmlReport.h"
#include "results/JournalReader.h"
#include "results/ResultsSummary.h"

#include "ResultsTestRows.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorn {
namespace {

using test::MakeRow;

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::string Journal(const std::vector<JournalRow>& rows) {
    std::string text = JournalHeader();
    for (const JournalRow& r : rows) text += JournalLine(r);
    return text;
}

TEST(HtmlReportTest, HostileJournalRowsAreReportedAndTheRestRead) {
    const std::string text = Journal({MakeRow("2026-12-07T10:15:02+01:00", 1.5f)}) +
                             "2026-12-07T10:16:02+01:00,B,s,ok,1,2,nan,pass,1,2,10,200,4000,1,\r\n"
                             "2026-12-07T10:17:02+01:00,B,s,ok\r\n"
                             "yesterday,B,s,ok,1,2,1.5,pass,1,2,10,200,4000,1,\r\n"
                             "2026-12-07T10:18:02+01:00,B,s,ok,1,2,1.5,maybe,1,2,10,200,4000,1,\r\n"
                             "2026-12-07T10:19:02+01:00,B,\"s,ok,1,2,1.5,pass,1,2,10,200,4000,1,\r\n" +
                             JournalLine(MakeRow("2026-12-07T10:20:02+01:00", 1.75f));
    const JournalContents c = ReadJournal(text);
    ASSERT_TRUE(c.isJournal);
    ASSERT_EQ(c.rows.size(), 2u);
    EXPECT_EQ(*c.rows[1].corwith, 1.75f);
    std::vector<size_t> lines;
    for (const JournalProblem& p : c.problems) lines.push_back(p.line);
    EXPECT_EQ(lines, (std::vector<size_t>{3, 4, 5, 6, 7}));
    EXPECT_FALSE(ReadJournal("a,b\r\n1,2\r\n").isJournal);
}

TEST(HtmlReportTest, SummaryCountsAndCpk) {
    std::vector<JournalRow> rows = {MakeRow("2026-12-07T10:00:00+00:00", 1.2f), MakeRow("2026-12-07T10:01:00+00:00", 1.4f),
                                    MakeRow("2026-12-07T10:02:00+00:00", 2.5f), MakeRow("2026-12-07T10:03:00+00:00", 0)};
    rows[3].corwith.reset();
    rows[3].verdict.clear();
    rows[3].status = "cancelled";
    std::vector<const JournalRow*> p;
    for (const JournalRow& r : rows) p.push_back(&r);
    const ResultsSummary s = ResultsSummary::Of(p);
    EXPECT_EQ(s.tests, 4u);
    EXPECT_EQ(s.passes, 2u);
    EXPECT_EQ(s.failures, 1u);
    EXPECT_EQ(s.cancelled, 1u);
    EXPECT_NEAR(s.mean, 1.7, 1e-6);
    EXPECT_NEAR(s.sd, std::sqrt((0.25 + 0.09 + 0.64) / 2), 1e-6);
    EXPECT_NEAR(*s.cpk, (2.0 - 1.7) / (3 * s.sd), 1e-6);  // the nearer limit counts
}

TEST(HtmlReportTest, JournalsMergeByTimeWithOneDotPerRowLimitsAndEscapedText) {
    std::vector<JournalRow> a = {MakeRow("2026-12-07T10:00:00+01:00", 1.25f), MakeRow("2026-12-07T12:00:00+01:00", 2.5f)};
    JournalRow b = MakeRow("2026-12-07T10:00:00+00:00", 1.5f);  // between the two above
    b.station = "<script>alert(1)</script>";
    ReportSources sources;
    sources.Add({"a.csv", ReadJournal(Journal(a))});
    sources.Add({"b.csv", ReadJournal(Journal({b}))});
    const std::vector<MergedRow> merged = sources.Merged();
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(*merged[1].row->corwith, 1.5f);

    const std::string html = HtmlReport::Build(sources);
    EXPECT_EQ(html.find("<script"), std::string::npos);
    for (const char* fetch : {"src=", "href=", "url(", "@import", "<link"}) EXPECT_EQ(html.find(fetch), std::string::npos) << fetch;
    const size_t trend = html.find("<g class=\"trend\">");
    const std::string dots = html.substr(trend, html.find("</g>", trend) - trend);
    EXPECT_EQ(Count(dots, "<circle"), 3u);
    EXPECT_EQ(Count(html, "<line class=\"limit\""), 2u);
    EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt;</td>"), std::string::npos) << "per-station summary";
    EXPECT_EQ(Count(html, "<tr class=\"fail\">"), 2u) << "the failed table and the latest rows";
}

}  // namespace
}  // namespace vorn

// Findings of the configuration report: each comes from the line that causes it, and a clean
// file gives none.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

#include "config/config_scan.h"
#include "config/scan_members.h"
#include "config/scan_report.h"
#include "tests/core/config_samples.h"

namespace {

using Found = std::vector<std::pair<std::size_t, std::string>>;

Found Findings(std::string_view content) {
    std::vector<Achievement> records;
    ScanReport report;
    ScanAchievements(content, records, &report);
    Found found;
    for (const ConfigFinding& finding : report.findings)
        found.emplace_back(finding.line, finding.code);
    return found;
}

const std::string HEAD = "\"achievements\": [\n";  // line 1

// A complete entry over five lines: '{', id, trigger_value, trigger_type, '},'.
std::string Entry(const std::string& id, const std::string& value = "a.exe",
                  const std::string& type = "process_name") {
    return "  {\n    \"id\": \"" + id + "\",\n    \"trigger_value\": \"" + value +
           "\",\n    \"trigger_type\": \"" + type + "\"\n  },\n";
}

}  // namespace

TEST(ConfigReport, CleanFilesGiveNoFindings) {
    EXPECT_EQ(Findings(samples::WORKED_EXAMPLE), Found{});
    EXPECT_EQ(Findings("{\r\n  \"achievements\" : [\r\n" + Entry("a") + "  ]\r\n}\r\n"), Found{});
    // An intended achievement without trigger, and a later top-level member after the list.
    EXPECT_EQ(Findings(HEAD + Entry("a", "", "none") + "],\n\"other\": {\n\"id\": \"z\"\n}\n"),
              Found{});

    std::ifstream demo(std::filesystem::path(__FILE__).parent_path() / "../../demo/bin/adv.json",
                       std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(demo)),
                           std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(Findings(text), Found{});
}

TEST(ConfigReport, LayoutFindingsPointAtTheirLines) {
    EXPECT_EQ(Findings("\"achievements\": [ {\n" + Entry("a") + "]\n"),
              (Found{{1, "text-after-marker"}}));
    EXPECT_EQ(Findings(HEAD + "  { \"id\": \"a\",\n" + Entry("a").substr(4) + "]\n"),
              (Found{{2, "member-on-opening-line"}}));
    EXPECT_EQ(
        Findings(HEAD + "{\n\"id\": \"a\",\n\"title\": \"x } y\",\n\"trigger_value\": \"a.exe\",\n"
                        "\"trigger_type\": \"process_name\"\n}\n]\n"),
        (Found{{4, "missing-trigger-type"},
               {5, "member-outside-entry"},
               {6, "member-outside-entry"}}));
    EXPECT_EQ(Findings(HEAD + "{\n\"id\": \"a\",\n\"Title\": \"T\",\n\"description\" : \"D\",\n"
                              "\"trigger_description\": 5,\n\"trigger_value\": \"a.exe\",\n"
                              "\"trigger_type\": \"process_name\"\n}\n"),
              (Found{{4, "unknown-key"}, {5, "space-before-colon"}, {6, "value-not-string"}}));
    // The second member of a line is lost unless its value is empty anyway.
    EXPECT_EQ(
        Findings(HEAD +
                 "{\n\"title\": \"T\", \"id\": \"a\",\n\"description\": \"D\", \"title\": "
                 "\"\",\n\"trigger_value\": \"a.exe\",\n\"trigger_type\": \"process_name\"\n}\n"),
        (Found{{3, "shadowed-member"}}));
    // Escapes show as written; only the applied member is worth that finding.
    EXPECT_EQ(
        Findings(HEAD +
                 "{\n\"id\": \"a\",\n\"title\": \"\\u8bb0 \\\"x\\\"\", \"description\": \"\\n\",\n"
                 "\"trigger_value\": \"a.exe\",\n\"trigger_type\": \"process_name\"\n}\n"),
        (Found{{4, "escape-kept"}, {4, "shadowed-member"}}));
    // A plain '"' ends the value early: the text after it is named.
    EXPECT_EQ(
        Findings(HEAD + "{\n\"id\": \"a\",\n\"title\": \"He said \"hi\" twice\", \n"
                        "\"trigger_value\": \"a.exe\",\n\"trigger_type\": \"process_name\"\n}\n"),
        (Found{{4, "text-after-value"}}));
}

TEST(ConfigReport, EntryFindings) {
    EXPECT_EQ(Findings(HEAD + "{\n\"title\": \"T\"\n},\n" + Entry("b")),
              (Found{{4, "entry-without-id"}}));
    EXPECT_EQ(Findings(HEAD + Entry("a") + Entry("b") + Entry("a")), (Found{{16, "duplicate-id"}}));
    EXPECT_EQ(Findings(HEAD + "{\n\"id\": \"a\"\n}\n"), (Found{{4, "missing-trigger-type"}}));
    EXPECT_EQ(Findings(HEAD + Entry("a", "a.exe", "Process_Name")),
              (Found{{5, "unknown-trigger-type"}}));
    EXPECT_EQ(Findings(HEAD + "{\n\"id\": \"a\",\n\"trigger_type\": \"window_title\"\n}\n"),
              (Found{{5, "empty-trigger-value"}}));
    EXPECT_EQ(Findings(HEAD + Entry("a", "||", "window_title") + Entry("b", "C:\\\\x\\\\a.exe") +
                       Entry("c", "a.exe|b.exe") + Entry("d", "bin/a.exe") +
                       Entry("e", "a|b", "window_title")),
              (Found{{4, "trigger-never-fires"},
                     {9, "escape-kept"},
                     {9, "trigger-never-fires"},
                     {14, "trigger-never-fires"},
                     {19, "trigger-never-fires"}}));
}

TEST(ConfigReport, EndOfListFindings) {
    EXPECT_EQ(Findings(HEAD + Entry("a") + "{\n\"id\": \"b\",\n"),
              (Found{{7, "entry-not-closed"}}));
    // A ']' inside an entry ends the list: the entry is lost, and so is every later one.
    EXPECT_EQ(Findings(HEAD + Entry("a") + "{\n\"id\": \"b\",\n\"title\": \"[Beta]\"\n}\n]\n"),
              (Found{{7, "entry-not-closed"}}));
    EXPECT_EQ(Findings(HEAD + "{\n\"id\": \"b\",\n\"title\": \"[Beta]\"\n}\n" + Entry("c")),
              (Found{{2, "entry-not-closed"}, {4, "list-ended-early"}}));
    EXPECT_EQ(Findings(HEAD +
                       "{\n\"id\": \"b\",\n\"trigger_value\": \"b.exe\",\n\"trigger_type\": "
                       "\"process_name\" } ],\n" +
                       Entry("c")),
              (Found{{5, "list-ended-early"}}));
}

TEST(ConfigReport, FindingsCarryBothLanguagesAndQuoteTheFileSafely) {
    std::vector<Achievement> records;
    ScanReport report;
    ScanAchievements(HEAD + "{\n\"id\": \"a\",\n\"k\xff" + std::string(60, 'x') + "\": \"v\"\n}\n",
                     records, &report);
    ASSERT_EQ(report.findings.size(), 2u);
    const ConfigFinding& unknown = report.findings[0];
    EXPECT_EQ(unknown.code, "unknown-key");
    EXPECT_NE(unknown.message.find("\"k\xEF\xBF\xBDxxx"), std::string::npos) << unknown.message;
    EXPECT_NE(unknown.message.find("…\""), std::string::npos);
    EXPECT_NE(unknown.message_zh.find("被忽略"), std::string::npos);

    // Where a quotation mark was meant, the advice names marks that a value can hold.
    for (const std::string title : {"\"He said \"hi\"\"", "\"He said \\\"hi\\\"\""}) {
        records.clear();
        report = {};
        ScanAchievements(HEAD + "{\n\"id\": \"a\",\n\"title\": " + title + "\n}\n", records,
                         &report);
        ASSERT_EQ(report.findings.size(), 2u) << title;  // and the missing trigger type
        EXPECT_NE(report.findings[0].message.find("write 「」 or “” instead"), std::string::npos)
            << report.findings[0].message;
        EXPECT_NE(report.findings[0].message_zh.find("请改用「」或“”"), std::string::npos);
    }
    EXPECT_EQ(records[0].title, u"He said \\\"hi\\\"");
}

TEST(ConfigReport, FindMembersSkipsStringValuesWhole) {
    const std::vector<MemberToken> members =
        FindMembers(R"(  "a": "x \"b\": y", "c" :5, "d":"", "e": [)");
    ASSERT_EQ(members.size(), 4u);
    EXPECT_EQ(members[0].key, "a");
    EXPECT_TRUE(members[0].string_value);
    EXPECT_FALSE(members[0].empty_value);
    EXPECT_TRUE(members[0].escaped_value);
    EXPECT_EQ(members[1].key, "c");
    EXPECT_TRUE(members[1].space_before_colon);
    EXPECT_FALSE(members[1].string_value);
    EXPECT_TRUE(members[2].empty_value);
    EXPECT_FALSE(members[2].escaped_value);
    EXPECT_EQ(members[3].key, "e");
    EXPECT_FALSE(members[3].string_value);
    EXPECT_TRUE(FindMembers(R"("only a string", "x")").empty());
}

// laurelight-check --format as a property: random configurations in every layout a JSON
// writer might choose go through the tool, and the program's loader reads the result back as
// the JSON parser read the input. Then the encodings Windows editors write, and the schema line.

#include <gtest/gtest.h>

#include <random>

#include "config/config_loader.h"
#include "config/scan_report.h"
#include "config/utf8.h"
#include "tests/check/check_run.h"

namespace {

using Json = nlohmann::ordered_json;

// Scripts users write titles in, as code point ranges.
constexpr std::pair<char32_t, char32_t> kScripts[] = {
    {0x20, 0x7E},     {0x4E00, 0x9FA5}, {0x3041, 0x3096},   {0x0410, 0x044F},
    {0x0391, 0x03C9}, {0x0621, 0x064A}, {0x1F600, 0x1F64F}, {0x3000, 0x3000}};
// What a value cannot hold in the line layout, and what only an extra member may hold.
constexpr std::string_view kNeverCarried[] = {"}", "]"};
constexpr std::string_view kNotInKeyValues[] = {"\"", "\\", "\n", "\t", "\x01"};

struct Generator {
    std::mt19937 rng;
    // Each value the layout cannot carry, as two texts that one line of stderr must name.
    std::vector<std::pair<std::string, std::string>> unsafe;

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    using Where = std::pair<std::string, std::string>;

    std::string Text(bool key_value, const Where& where) {
        std::string text;
        const auto& [low, high] = kScripts[Below(std::size(kScripts))];
        for (int count = Below(10); count > 0; --count) {
            const char32_t c = std::uniform_int_distribution<char32_t>(low, high)(rng);
            if (c != '"' && c != '\\' && c != '}' && c != ']') AppendUtf8(text, c);
        }
        if (Below(80) == 0) {
            text.insert(0, kNeverCarried[Below(2)]);
            unsafe.push_back(where);
        } else if (Below(80) == 0) {
            text += kNotInKeyValues[Below(5)];
            if (key_value) unsafe.push_back(where);
        }
        return text;
    }

    Json Member(const std::string& key, bool known, const Where& where) {
        if (key == "trigger_type" && Below(2) == 0) {
            const char* names[] = {"window_title", "process_name", "none", "Window_Title"};
            return names[Below(4)];
        }
        switch (Below(known ? 60 : 7)) {
            case 0:
                unsafe.push_back(where);
                return known ? Json(Below(100)) : Json::parse(R"({"title": "x"})");
            case 1:
                unsafe.push_back(where);
                return known ? Json(nullptr) : Json::array({1, "a"});
            case 2:
                return known ? Json(Text(true, where)) : Json(Below(2) == 0);
            default:
                return Text(known, where);
        }
    }

    Json Entry(int number) {
        if (Below(30) == 0) {
            unsafe.push_back({"entry " + std::to_string(number), "not an object"});
            return "not an entry";
        }
        std::vector<std::string> keys;
        for (const std::string_view key : kConfigKeys) {
            if (Below(6) != 0) keys.emplace_back(key);
        }
        const char* extras[] = {"note", "ID", "Title", "version", "tags"};
        for (int count = Below(3); count > 0; --count) keys.push_back(extras[Below(5)]);
        std::shuffle(keys.begin(), keys.end(), rng);
        Json entry = Json::object();
        for (const std::string& key : keys) {
            if (entry.contains(key)) continue;
            const bool known =
                std::find(kConfigKeys.begin(), kConfigKeys.end(), key) != kConfigKeys.end();
            entry[key] = Member(key, known, {"entry " + std::to_string(number), '"' + key + '"'});
        }
        return entry;
    }

    Json Config() {
        Json root = Json::object();
        if (Below(2) == 0) root["$schema"] = "./adv.schema.json";
        // A member whose own lines look like the list's marker, before or after the list.
        const int version = Below(3);
        if (version == 0) root["version"] = {{"achievements", {1, 2}}};
        root["achievements"] = Json::array();
        for (int number = 1, count = Below(5); number <= count; ++number) {
            root["achievements"].push_back(Entry(number));
        }
        if (version == 1) root["version"] = {{"achievements", {1, 2}}};
        return root;
    }

    // Compact, pretty with spaces or tabs, \u escapes, CR LF, or Notepad's UTF-16.
    std::string Serialize(const Json& root) {
        switch (Below(6)) {
            case 0:
                return root.dump();
            case 1:
                return root.dump(2, ' ', true);
            case 2:
                return root.dump(1, '\t');
            case 3: {
                std::string text;
                for (const char c : root.dump(4)) text += c == '\n' ? "\r\n" : std::string(1, c);
                return text;
            }
            case 4: {
                const std::u16string text = Utf8ToUtf16(root.dump(3));
                std::string bytes = "\xFF\xFE";
                for (const char16_t unit : text) {
                    bytes += static_cast<char>(unit & 0xFF);
                    bytes += static_cast<char>(unit >> 8);
                }
                return bytes;
            }
            default:
                return "\xEF\xBB\xBF" + root.dump(4);
        }
    }
};

// The achievements as a JSON reader sees the file.
std::vector<Achievement> JsonRecords(const nlohmann::json& root) {
    std::vector<Achievement> records;
    const auto text = [](const nlohmann::json& entry, const char* key) {
        const auto member = entry.find(key);
        return member != entry.end() && member->is_string()
                   ? Utf8ToUtf16(member->get<std::string>())
                   : std::u16string();
    };
    for (const nlohmann::json& entry : root["achievements"]) {
        if (!entry.is_object() || text(entry, "id").empty()) continue;
        Achievement record{text(entry, "id"), text(entry, "title"), text(entry, "description"),
                           text(entry, "trigger_description"), text(entry, "trigger_value")};
        const std::u16string type = text(entry, "trigger_type");
        record.trigger_type = type == u"window_title"   ? TriggerType::WindowTitle
                              : type == u"process_name" ? TriggerType::ProcessName
                                                        : TriggerType::None;
        records.push_back(record);
    }
    return records;
}

bool NamedOnOneLine(const std::string& text, const std::pair<std::string, std::string>& where) {
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1) {
        const std::string line = text.substr(begin, end - begin);
        if (line.find(where.first) != std::string::npos &&
            line.find(where.second) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::vector<Achievement> LoadedFrom(const ProgressTestFolder& folder) {
    std::vector<Achievement> loaded;
    LoadAchievements(folder.path().u16string() + u"\\bin\\adv.json", loaded);
    return loaded;
}

}  // namespace

TEST(FormatTool, GeneratedConfigurationsLoadAsTheJsonParserReadsThem) {
    ProgressTestFolder folder;
    ProgressTestFolder reloaded;
    int carried = 0;
    for (unsigned seed = 1; seed <= 120; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Generator generator{std::mt19937(seed), {}};
        const Json root = generator.Config();
        WriteConfig(folder, generator.Serialize(root));
        const bool to_file = seed % 2 == 0;
        Outcome run = RunCheck(folder.path(), to_file ? "--format --output out.json" : "--format");
        if (to_file) run.out = folder.Read("out.json");
        for (const auto& where : generator.unsafe) {
            EXPECT_TRUE(NamedOnOneLine(run.err, where)) << where.first << where.second << run.err;
        }
        if (!generator.unsafe.empty()) {
            EXPECT_EQ(run.exit_code, 6) << root.dump();
            continue;
        }
        ASSERT_EQ(run.exit_code, 0) << run.err << root.dump();
        ++carried;
        // UTF-8 without a byte-order mark, and every line ended by CR LF.
        EXPECT_EQ(run.out.rfind("{\r\n", 0), 0u);
        std::string bare = run.out;
        for (std::size_t at; (at = bare.find("\r\n")) != std::string::npos;) bare.erase(at, 2);
        EXPECT_EQ(bare.find_first_of("\r\n"), std::string::npos);
        EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::parse(root.dump()));
        WriteConfig(reloaded, run.out);
        EXPECT_EQ(LoadedFrom(reloaded), JsonRecords(root)) << root.dump() << "\n" << run.out;
    }
    EXPECT_GT(carried, 40);
}

TEST(FormatTool, UnicodeAndAnsiFilesAreNamedAndUnicodeOnesConvertInOneCommand) {
    constexpr std::string_view kPretty =
        "{\n \"achievements\": [\n  {\n   \"id\": \"原神\",\n   \"trigger_value\": "
        "\"YuanShen.exe\",\n   \"trigger_type\": \"process_name\"\n  }\n ]\n}\n";
    const std::u16string text = Utf8ToUtf16(kPretty);
    const auto utf16 = [&](bool little, std::string bytes) {
        for (const char16_t unit : text) {
            bytes += static_cast<char>(little ? unit & 0xFF : unit >> 8);
            bytes += static_cast<char>(little ? unit >> 8 : unit & 0xFF);
        }
        return bytes;
    };
    ProgressTestFolder folder;
    WriteConfig(folder, std::string(kPretty));
    const std::vector<Achievement> records = LoadedFrom(folder);
    ASSERT_EQ(records.size(), 1u);
    for (const std::string& bytes :
         {utf16(true, "\xFF\xFE"), utf16(true, ""), utf16(false, "\xFE\xFF")}) {
        WriteConfig(folder, bytes);
        Outcome run = RunCheck(folder.path(), "");
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_NE(run.err.find("line 1: [utf16-file]"), std::string::npos) << run.err;
        run = RunCheck(folder.path(), "--format --write");
        ASSERT_EQ(run.exit_code, 0) << run.err;
        EXPECT_EQ(LoadedFrom(folder), records);
        EXPECT_EQ(folder.Read("bin/adv.json.bak"), bytes);
    }
    // GBK for 原神; the file loads, with a garbled id, and the line is named.
    const std::string gbk =
        "{\n \"achievements\": [\n  {\n   \"trigger_type\": \"none\",\n   \"id\": "
        "\"\xD4\xAD\xC9\xF1\"\n  "
        "}\n ]\n}\n";
    WriteConfig(folder, gbk);
    Outcome run = RunCheck(folder.path(), "");
    ASSERT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.Json()["warnings"].size(), 1u);
    EXPECT_EQ(run.Json()["warnings"][0]["code"], "not-utf8");
    EXPECT_EQ(run.Json()["warnings"][0]["line"], 5);
    run = RunCheck(folder.path(), "--format --write");
    EXPECT_EQ(run.exit_code, 5);
    EXPECT_NE(run.err.find("line 5, column"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("line 5 is not UTF-8"), std::string::npos) << run.err;
    // Not JSON at all, and values that cannot be carried: the file is left as it is.
    WriteConfig(folder, "{\"achievements\": [\n");
    run = RunCheck(folder.path(), "--format");
    EXPECT_EQ(run.exit_code, 5);
    EXPECT_NE(run.err.find("parse error at line 2, column 1"), std::string::npos) << run.err;
    // Nesting that would overflow the stack of a recursive writer is refused.
    WriteConfig(folder, "{\"achievements\": [], \"x\": " + std::string(100000, '[') +
                            std::string(100000, ']') + "}");
    EXPECT_EQ(RunCheck(folder.path(), "--format").exit_code, 5);
    const std::string lossy = R"({"achievements": [{"id": "a", "title": "say \"hi\""}]})";
    WriteConfig(folder, lossy);
    run = RunCheck(folder.path(), "--format --write");
    EXPECT_EQ(run.exit_code, 6);
    EXPECT_NE(run.err.find("entry 1 (id \"a\"), \"title\" needs an escape"), std::string::npos);
    EXPECT_EQ(folder.Read("bin/adv.json"), lossy);
    EXPECT_EQ(RunCheck(folder.path(), "--write").exit_code, 64);
    EXPECT_EQ(RunCheck(folder.path(), "--format --output bin/adv.json").exit_code, 64);
    EXPECT_EQ(folder.Read("bin/adv.json"), lossy);
}

TEST(FormatTool, SchemaLineBeforeTheMarkerChangesNothingAndFormatKeepsIt) {
    ProgressTestFolder folder;
    std::filesystem::copy(std::filesystem::path(LAURELIGHT_DEMO_DIR) / "bin", folder.File("bin"));
    ASSERT_TRUE(folder.Exists("bin/adv.schema.json"));
    const std::string demo = folder.Read("bin/adv.json");
    const std::string line = "    \"$schema\": \"./adv.schema.json\",\n";
    ASSERT_EQ(demo.find(line), 2u);
    const std::vector<Achievement> records = LoadedFrom(folder);
    EXPECT_GE(records.size(), 8u);

    const Outcome run = RunCheck(folder.path(), "--format");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(
        run.out.find("{\r\n    \"$schema\": \"./adv.schema.json\",\r\n    \"achievements\": ["),
        0u);
    WriteConfig(folder, run.out);
    EXPECT_EQ(LoadedFrom(folder), records);
    WriteConfig(folder, std::string(demo).erase(2, line.size()));
    EXPECT_EQ(LoadedFrom(folder), records);
}

// laurelight-check --format as a property: random configurations in the layouts JSON writers
// choose go through the tool, and the program's loader reads the result back as the JSON
// parser read the input. Then the encodings Windows editors write, and the schema line.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <random>

#include "config/config_loader.h"
#include "config/config_scan.h"
#include "tests/check/check_run.h"
#include "text/utf8.h"

namespace {

using Json = nlohmann::ordered_json;
using Where = std::pair<std::string, std::string>;  // two texts one line of stderr must name

// Scripts users write titles in: ASCII, CJK, kana, Cyrillic, Greek, Arabic, emoji, U+3000.
constexpr std::pair<char32_t, char32_t> SCRIPTS[] = {
    {0x20, 0x7E},     {0x4E00, 0x9FA5}, {0x3041, 0x3096},   {0x0410, 0x044F},
    {0x0391, 0x03C9}, {0x0621, 0x064A}, {0x1F600, 0x1F64F}, {0x3000, 0x3000}};

std::string Utf16(std::string_view utf8, bool little, std::string bytes) {
    for (const char16_t unit : Utf8ToUtf16(utf8)) {
        bytes += static_cast<char>(little ? unit & 0xFF : unit >> 8);
        bytes += static_cast<char>(little ? unit >> 8 : unit & 0xFF);
    }
    return bytes;
}

struct Generator {
    std::mt19937 rng;
    std::vector<Where> unsafe;  // every value the layout cannot carry

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    // Now and then with a character that no value may hold ('}', ']') or that only a member
    // other than the six keys may hold ('"', '\', a control character).
    std::string Text(bool known, const Where& where) {
        std::string text;
        const auto& [low, high] = SCRIPTS[Below(std::size(SCRIPTS))];
        for (int count = Below(10); count > 0; --count) {
            const char32_t c = std::uniform_int_distribution<char32_t>(low, high)(rng);
            if (c != '"' && c != '\\' && c != '}' && c != ']') AppendUtf8(text, c);
        }
        const int odd = Below(250);
        if (odd < 7) {
            text += "}]\"\\\n\t\x01"[odd];
            if (known || odd < 2) unsafe.push_back(where);
        }
        return text;
    }

    Json Member(const std::string& key, const Where& where) {
        const bool known = ConfigKeyIndex(key) >= 0;
        const int kind = Below(known ? 40 : 6);
        if (kind == 0 || (!known && kind == 1)) {
            unsafe.push_back(where);
            return known       ? Json(7)
                   : kind == 0 ? Json::parse(R"({"title": "x"})")
                               : Json::array({1});
        }
        if (!known && kind == 2) return true;
        if (key == "trigger_type" && kind % 2 == 0) {
            return std::array{"window_title", "process_name", "none", "Window_Title"}[Below(4)];
        }
        return Text(known, where);
    }

    Json Entry(int number) {
        const std::string name = "entry " + std::to_string(number);
        if (Below(30) == 0) {
            unsafe.push_back({name, "not an object"});
            return "not an entry";
        }
        std::vector<std::string> keys;
        // The six keys every entry had before goals; the later ones keep the seeds' samples.
        for (std::size_t key = 0; key <= TRIGGER_TYPE_KEY; ++key)
            keys.emplace_back(CONFIG_KEYS[key].name);
        std::erase_if(keys, [&](const std::string&) { return Below(6) == 0; });
        for (int count = Below(3); count > 0; --count) {
            keys.push_back(std::array{"note", "ID", "Title", "tags"}[Below(4)]);
        }
        std::shuffle(keys.begin(), keys.end(), rng);
        Json entry = Json::object();
        for (const std::string& key : keys) {
            if (!entry.contains(key)) entry[key] = Member(key, {name, '"' + key + '"'});
        }
        return entry;
    }

    Json Config() {
        Json root = Json::object();
        if (Below(2) == 0) root["$schema"] = "./adv.schema.json";
        // A member with a line that looks like the list's marker, before or after the list.
        const int version = Below(3);
        if (version == 0) root["version"] = {{"achievements", {1, 2}}};
        root["achievements"] = Json::array();
        for (int number = 1, count = 1 + Below(4); number <= count; ++number) {
            root["achievements"].push_back(Entry(number));
        }
        if (version == 1) root["version"] = {{"achievements", {1, 2}}};
        return root;
    }

    std::string Serialize(const Json& root) {
        switch (Below(5)) {
            case 0:
                return root.dump();
            case 1:
                return root.dump(2, ' ', true);  // \u escapes
            case 2:
                return root.dump(1, '\t');
            case 3:
                return Utf16(root.dump(3), true, "\xFF\xFE");
            default:
                return "\xEF\xBB\xBF" + root.dump(4);
        }
    }
};

// The achievements as a JSON reader sees the file.
std::vector<Achievement> JsonRecords(const nlohmann::json& root) {
    std::vector<Achievement> records;
    for (const nlohmann::json& entry : root["achievements"]) {
        const auto text = [&](const char* key) {
            const auto member = entry.is_object() ? entry.find(key) : entry.end();
            return member != entry.end() && member->is_string()
                       ? Utf8ToUtf16(member->get<std::string>())
                       : std::u16string();
        };
        if (text("id").empty()) continue;
        const std::u16string type = text("trigger_type");
        records.push_back({text("id"), text("title"), text("description"),
                           text("trigger_description"), text("trigger_value"),
                           type == u"window_title"   ? TriggerType::WindowTitle
                           : type == u"process_name" ? TriggerType::ProcessName
                                                     : TriggerType::None,
                           false, text("trigger_goal"), text("hidden"), text("sound"),
                           text("picture")});
    }
    return records;
}

bool NamedOnOneLine(const std::string& text, const Where& where) {
    for (std::size_t at = text.find(where.first); at != std::string::npos;
         at = text.find(where.first, at + 1)) {
        const std::size_t end = text.find('\n', at);
        if (text.substr(at, end - at).find(where.second) != std::string::npos) return true;
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
    for (unsigned seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Generator generator{std::mt19937(seed), {}};
        const Json root = generator.Config();
        WriteConfig(folder, generator.Serialize(root));
        Outcome run = RunCheck(folder.path(), seed % 2 ? "--format" : "--format --output out.json");
        if (seed % 2 == 0) run.out = folder.Read("out.json");
        for (const Where& where : generator.unsafe) {
            EXPECT_TRUE(NamedOnOneLine(run.err, where)) << where.first << where.second << run.err;
        }
        if (!generator.unsafe.empty()) {
            EXPECT_EQ(run.exit_code, 6) << root.dump();
            continue;
        }
        if (JsonRecords(nlohmann::json::parse(root.dump())).empty()) {  // nothing to load
            EXPECT_EQ(run.exit_code, 5) << root.dump();
            continue;
        }
        ASSERT_EQ(run.exit_code, 0) << run.err << root.dump();
        ++carried;
        // UTF-8 without a byte-order mark, every line ended by CR LF, the same JSON.
        EXPECT_EQ(run.out.rfind("{\r\n", 0), 0u);
        std::string bare = run.out;
        for (std::size_t at; (at = bare.find("\r\n")) != std::string::npos;) bare.erase(at, 2);
        EXPECT_EQ(bare.find_first_of("\r\n"), std::string::npos);
        EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::parse(root.dump()));
        WriteConfig(reloaded, run.out);
        EXPECT_EQ(LoadedFrom(reloaded), JsonRecords(nlohmann::json::parse(root.dump()))) << run.out;
    }
    EXPECT_GT(carried, 40) << carried;
}

TEST(FormatTool, UnicodeAndAnsiFilesAreNamedAndUnicodeOnesConvertInOneCommand) {
    constexpr std::string_view PRETTY =
        "{\n \"achievements\": [\n  {\n   \"id\": \"原神\",\n   \"trigger_value\": "
        "\"YuanShen.exe\",\n   \"trigger_type\": \"process_name\"\n  }\n ]\n}\n";
    ProgressTestFolder folder;
    WriteConfig(folder, std::string(PRETTY));
    const std::vector<Achievement> records = LoadedFrom(folder);
    ASSERT_EQ(records.size(), 1u);
    for (const std::string& bytes : {Utf16(PRETTY, true, "\xFF\xFE"), Utf16(PRETTY, true, ""),
                                     Utf16(PRETTY, false, "\xFE\xFF")}) {
        WriteConfig(folder, bytes);
        Outcome run = RunCheck(folder.path(), "");
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_NE(run.err.find("line 1: [utf16-file]"), std::string::npos) << run.err;
        run = RunCheck(folder.path(), "--format --write");
        ASSERT_EQ(run.exit_code, 0) << run.err;
        EXPECT_EQ(LoadedFrom(folder), records);
        EXPECT_EQ(folder.Read("bin/adv.json.bak"), bytes);
    }
    // 原神 in GBK: the file loads with a garbled id, and the line is named.
    WriteConfig(folder,
                "{\n\"achievements\": [\n{\n\"trigger_type\": \"none\",\n\"id\": "
                "\"\xD4\xAD\xC9\xF1\"\n}\n]\n}\n");
    Outcome run = RunCheck(folder.path(), "");
    ASSERT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.Json()["warnings"].size(), 1u);
    EXPECT_EQ(run.Json()["warnings"][0]["code"], "not-utf8");
    EXPECT_EQ(run.Json()["warnings"][0]["line"], 5);
    run = RunCheck(folder.path(), "--format --write");
    EXPECT_EQ(run.exit_code, 5);
    EXPECT_NE(run.err.find("line 5, column"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("line 5 is not UTF-8"), std::string::npos) << run.err;
    // Nesting that would overflow the stack of a recursive writer is refused.
    WriteConfig(folder, "{\"achievements\": [], \"x\": " + std::string(100000, '[') +
                            std::string(100000, ']') + "}");
    EXPECT_EQ(RunCheck(folder.path(), "--format").exit_code, 5);
    // A value that cannot be carried: the file is left as it is, and --output may not name it.
    const std::string lossy = R"({"achievements": [{"id": "a", "title": "say \"hi\""}]})";
    WriteConfig(folder, lossy);
    run = RunCheck(folder.path(), "--format --write");
    EXPECT_EQ(run.exit_code, 6);
    EXPECT_NE(run.err.find("entry 1 (id \"a\"), \"title\" needs an escape"), std::string::npos);
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

TEST(FormatTool, NothingToLoadExitsWithFiveAndWriteLeavesTheFileAlone) {
    ProgressTestFolder folder;
    for (const std::string text : {R"({"achievements": []})", ""}) {
        WriteConfig(folder, text);
        for (const char* arguments : {"--format", "--format --write"}) {
            const Outcome run = RunCheck(folder.path(), arguments);
            EXPECT_EQ(run.exit_code, 5) << arguments << " " << text;
            EXPECT_NE(run.err.find("there is nothing to load"), std::string::npos) << run.err;
            EXPECT_EQ(run.out, "");
        }
        EXPECT_EQ(folder.Read("bin/adv.json"), text);
        EXPECT_FALSE(folder.Exists("bin/adv.json.bak"));
    }
}

TEST(FormatTool, DropExtraLeavesOutOnlyMembersLaurelightNeverReads) {
    ProgressTestFolder folder;
    const std::string tagged =
        R"({"achievements": [{"id": "a", "tags": ["fun", "game"], "trigger_value": "a.exe",)"
        R"( "trigger_type": "process_name"}]})";
    WriteConfig(folder, tagged);
    EXPECT_EQ(RunCheck(folder.path(), "--format --write").exit_code, 6);
    EXPECT_EQ(folder.Read("bin/adv.json"), tagged);
    const Outcome run = RunCheck(folder.path(), "--format --write --drop-extra");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.err.find("entry 1 (id \"a\"), \"tags\""), std::string::npos) << run.err;
    EXPECT_EQ(folder.Read("bin/adv.json.bak"), tagged);
    const std::vector<Achievement> loaded = LoadedFrom(folder);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].trigger_value, u"a.exe");
    EXPECT_EQ(loaded[0].trigger_type, TriggerType::ProcessName);
    // Anything else that is lost still keeps the file as it is.
    const std::string quoted = R"({"achievements": [{"id": "b", "title": "\"", "tags": [1]}]})";
    WriteConfig(folder, quoted);
    EXPECT_EQ(RunCheck(folder.path(), "--format --write --drop-extra").exit_code, 6);
    EXPECT_EQ(folder.Read("bin/adv.json"), quoted);
}

// The JSON reader once searched an entry's members for every new key: 300,000 took minutes.
TEST(FormatTool, AnEntryWithManyMembersFormatsInTimeLinearInThem) {
    // Four times the members may take about four times as long, not sixteen: a ratio, because
    // sanitizer builds run the tool many times slower than a plain one.
    const auto format_seconds = [](int members) {
        std::string json = R"({"achievements": [{"id": "a", "trigger_type": "none")";
        for (int index = 0; index < members; ++index) {
            json += ", \"k" + std::to_string(index) + "\": \"v\"";
        }
        ProgressTestFolder folder;
        WriteConfig(folder, json + "}]}");
        rusage before{};
        getrusage(RUSAGE_CHILDREN, &before);
        const Outcome run = RunCheck(folder.path(), "--format");
        rusage after{};
        getrusage(RUSAGE_CHILDREN, &after);
        EXPECT_EQ(run.exit_code, 0) << run.err;
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), members + 8);
        const auto seconds = [](const rusage& usage) {
            return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        };
        return seconds(after) - seconds(before);
    };
    const double quarter = format_seconds(15000);
    const double whole = format_seconds(60000);  // about 7 s of processor time when quadratic
    EXPECT_TRUE(whole < 0.5 || whole < 8 * quarter) << whole << " s against " << quarter << " s";
}

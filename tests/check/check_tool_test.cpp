// laurelight-check as a user runs it: exit codes, stdout JSON, stderr text, the progress file.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "tests/check/check_run.h"

namespace {

constexpr const char* CONFIG = R"({
  "achievements": [
    {
      "id": "a",
      "title": "Alpha",
      "description": "First",
      "trigger_description": "Run a.exe",
      "trigger_value": "a.exe",
      "trigger_type": "process_name"
    },
    {
      "id": "b",
      "title": "Beta",
      "trigger_value": "Beta|Gamma",
      "trigger_type": "window_title"
    },
    {
      "id": "b",
      "title": "Beta again",
      "trigger_value": "x",
      "trigger_type": "manual"
    }
  ]
}
)";

std::vector<std::string> Strings(const nlohmann::json& array) {
    return array.get<std::vector<std::string>>();
}

}  // namespace

TEST(CheckTool, PrintsTheLoadedStateOfTheCurrentFolder) {
    ProgressTestFolder folder;
    WriteConfig(folder, CONFIG);
    folder.Write("adv_save.txt", "a=done\r\nzzz=done\r\n");
    const Outcome run = RunCheck(folder.path(), "");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const nlohmann::json json = run.Json();
    const std::string base = std::filesystem::canonical(folder.path()).string();
    EXPECT_EQ(json["config_path"], base + "/bin/adv.json");
    EXPECT_EQ(json["save_path"], base + "/adv_save.txt");
    ASSERT_EQ(json["achievements"].size(), 3u);
    const nlohmann::json& alpha = json["achievements"][0];
    EXPECT_EQ(alpha["id"], "a");
    EXPECT_EQ(alpha["description"], "First");
    EXPECT_EQ(alpha["trigger_description"], "Run a.exe");
    EXPECT_EQ(alpha["trigger_value"], "a.exe");
    EXPECT_EQ(alpha["trigger_type"], "process_name");
    EXPECT_EQ(alpha["completed"], true);
    EXPECT_EQ(json["achievements"][1]["trigger_type"], "window_title");
    EXPECT_EQ(json["achievements"][2]["trigger_type"], "none");
    EXPECT_EQ(Strings(json["completed_list"]),
              std::vector<std::string>{"Alpha - First\n触发方式: Run a.exe"});
    EXPECT_EQ(Strings(json["pending_list"]),
              (std::vector<std::string>{"Beta - \n触发方式: ", "Beta again - \n触发方式: "}));
    // The duplicate id and the unknown trigger type are reported, the load still succeeds.
    std::vector<std::string> codes;
    for (const nlohmann::json& warning : json["warnings"]) {
        codes.push_back(warning["code"]);
        EXPECT_FALSE(warning["message"].get<std::string>().empty());
        EXPECT_FALSE(warning["message_zh"].get<std::string>().empty());
    }
    EXPECT_EQ(codes, (std::vector<std::string>{"unknown-trigger-type", "duplicate-id",
                                               "progress-without-achievement"}));
    EXPECT_EQ(json["warnings"][0]["line"], 21);
    EXPECT_EQ(json["warnings"][1]["line"], 22);
    EXPECT_EQ(RunCheck(folder.path(), "--strict").exit_code, 3);
}

TEST(CheckTool, MissingOrUnusableConfigurationExitsWithTheProgramsMessage) {
    ProgressTestFolder folder;
    const std::string base = std::filesystem::canonical(folder.path()).string();
    Outcome run = RunCheck(folder.path(), Shell(base));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "找不到成就配置文件！\n请确保以下文件存在：\n" + base + "/bin/adv.json\n");

    WriteConfig(folder, "{}");
    run = RunCheck(folder.path(), ".");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, "JSON文件为空或读取失败！\n");

    WriteConfig(folder, "\"achievements\": [\n  {\n    \"ID\": \"a\"\n  }\n]\n");
    run = RunCheck(folder.path(), ".");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err.rfind("JSON解析失败或没有找到成就配置！\nline 3: [unknown-key]", 0), 0u)
        << run.err;
}

TEST(CheckTool, UnlockCompletesTheFirstOpenRecordAndSavesProgress) {
    ProgressTestFolder folder;
    WriteConfig(folder, CONFIG);
    const ProgressTestFolder elsewhere;
    const std::string dir = Shell(folder.path().string());

    Outcome run = RunCheck(elsewhere.path(), dir + " --unlock b");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(folder.Read("adv_save.txt"), "b=done\r\n");
    nlohmann::json json = run.Json();
    EXPECT_EQ(json["achievements"][1]["completed"], true);
    EXPECT_EQ(json["achievements"][2]["completed"], false);
    EXPECT_EQ(Strings(json["completed_list"]), std::vector<std::string>{"Beta - \n触发方式: "});
    EXPECT_EQ(json["pending_list"].size(), 2u);

    // On the next start both records of id b take its saved flag, so none is open.
    run = RunCheck(elsewhere.path(), dir + " --unlock b");
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.Json()["achievements"][2]["completed"], true);

    run = RunCheck(elsewhere.path(), dir + " --unlock a");
    EXPECT_EQ(run.exit_code, 0);
    // Both records of id b are completed now, and each is written.
    EXPECT_EQ(folder.Read("adv_save.txt"), "a=done\r\nb=done\r\nb=done\r\n");
}

TEST(CheckTool, UnlockKeepsTheProgressOfIdsTheConfigurationDoesNotHave) {
    ProgressTestFolder folder;
    WriteConfig(folder, CONFIG);
    folder.Write("adv_save.txt", "renamed=done\r\nb=done\r\nold=maybe\r\n");
    const Outcome run = RunCheck(folder.path(), ". --unlock a");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(folder.Read("adv_save.txt"), "a=done\r\nb=done\r\nb=done\r\nrenamed=done\r\n");
}

TEST(CheckTool, UnlockOfAnUnknownIdExitsWithTwoAndWritesNothing) {
    ProgressTestFolder folder;
    WriteConfig(folder, CONFIG);
    const Outcome run = RunCheck(folder.path(), ". --unlock nope");
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_NE(run.err.find("nope"), std::string::npos);
    EXPECT_FALSE(folder.Exists("adv_save.txt"));
    EXPECT_EQ(run.Json()["completed_list"].size(), 0u);
}

TEST(CheckTool, UnlockThatDoesNotReachTheDiskExitsWithSevenAndSaysWhy) {
    ProgressTestFolder folder;
    WriteConfig(folder, CONFIG);
    std::filesystem::create_directory(folder.File("adv_save.txt"));
    Outcome run = RunCheck(folder.path(), ". --unlock a");
    EXPECT_EQ(run.exit_code, 7);
    EXPECT_NE(run.err.find("progress not saved (a folder has this name): "), std::string::npos);
    EXPECT_NE(run.err.find("进度未能保存（存在同名文件夹）："), std::string::npos);
    EXPECT_NE(run.err.find("adv_save.txt\n"), std::string::npos);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    EXPECT_TRUE(std::filesystem::is_empty(folder.File("adv_save.txt")));

    std::filesystem::remove(folder.File("adv_save.txt"));
    folder.Write("adv_save.txt", "");
    std::filesystem::permissions(folder.File("adv_save.txt"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    run = RunCheck(folder.path(), ". --unlock a");
    EXPECT_EQ(run.exit_code, 7);
    EXPECT_NE(run.err.find("(the file is read-only)"), std::string::npos);
    EXPECT_EQ(folder.Read("adv_save.txt"), "");
}

TEST(CheckTool, DemoFolderLoadsCleanlyAndItsChineseIdSurvivesAnUnlock) {
    ProgressTestFolder folder;
    std::filesystem::copy(std::filesystem::path(LAURELIGHT_DEMO_DIR) / "bin", folder.File("bin"));
    Outcome run = RunCheck(folder.path(), "--strict");
    ASSERT_EQ(run.exit_code, 0) << run.out;
    nlohmann::json json = run.Json();
    EXPECT_GE(json["achievements"].size(), 8u);
    EXPECT_TRUE(json["warnings"].empty());

    run = RunCheck(folder.path(), ". --unlock 任务管理员");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    run = RunCheck(folder.path(), ".");
    json = run.Json();
    std::vector<std::string> completed;
    for (const nlohmann::json& achievement : json["achievements"]) {
        if (achievement["completed"] == true) completed.push_back(achievement["id"]);
    }
    EXPECT_EQ(completed, std::vector<std::string>{"任务管理员"});
}

TEST(CheckTool, CommandLineHelpMistakesAndOutputThatCannotBeWrittenWhole) {
    ProgressTestFolder folder;
    WriteConfig(folder, CONFIG);
    folder.Write("adv_save.txt", "a=done\r\n");
    // Which words are understood, and why not, is CheckRules' matter: here what each ends in.
    Outcome run = RunCheck(folder.path(), "'/?'");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out.rfind("usage: laurelight-check", 0), 0u);
    run = RunCheck(folder.path(), "--watch 5s");
    EXPECT_EQ(run.exit_code, 64);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("not \"5s\"\nusage: laurelight-check"), std::string::npos) << run.err;
    const std::string save = Shell(folder.File("adv_save.txt").string());
    for (const std::string& wrong : {std::string("--output ./ADV_SAVE.TXT"), "--output " + save}) {
        EXPECT_EQ(RunCheck(folder.path(), wrong).exit_code, 64) << wrong;
    }
    EXPECT_EQ(folder.Read("adv_save.txt"), "a=done\r\n");

    run = RunCheck(folder.path(), "--output nowhere/out.json");
    EXPECT_EQ(run.exit_code, 4);
    EXPECT_NE(run.err.find("(the folder does not exist)"), std::string::npos) << run.err;
    run = RunCheck(folder.path(), "--output /dev/full");
    EXPECT_EQ(run.exit_code, 4);
    EXPECT_NE(run.err.find("(the disk is full)"), std::string::npos) << run.err;
    // A size limit stands in for a disk that fills up part way: no truncated file is left.
    ASSERT_GT(RunCheck(folder.path(), "").out.size(), 512u);
    rlimit old_limit{};
    getrlimit(RLIMIT_FSIZE, &old_limit);
    const rlimit limit{512, old_limit.rlim_max};
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    run = RunCheck(folder.path(), "--output out.json");
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(run.exit_code, 4) << run.err;
    EXPECT_FALSE(folder.Exists("out.json"));
}

TEST(CheckTool, NamesEveryDoneLineWhoseIdNoAchievementHasWithTheLikelyRename) {
    ProgressTestFolder folder;
    WriteConfig(folder, R"({
  "achievements": [
    {
      "id": "first_note",
      "trigger_type": "none"
    }
  ]
}
)");
    folder.Write("adv_save.txt",
                 "frist_note=done\r\nfirst_note=done\r\nold=no\r\nvery_old=done\r\n"
                 "\xE5\x8E\x9F\xE7\xA5\x9E=done-utf8\r\n");
    const Outcome run = RunCheck(folder.path(), "");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const nlohmann::json warnings = run.Json()["warnings"];
    ASSERT_EQ(warnings.size(), 3u) << warnings;
    const std::pair<int, std::string> expected[] = {
        {1, "frist_note"}, {4, "very_old"}, {5, "原神"}};
    for (std::size_t index = 0; index < warnings.size(); ++index) {
        const nlohmann::json& warning = warnings[index];
        EXPECT_EQ(warning["file"], "adv_save.txt");
        EXPECT_EQ(warning["line"], expected[index].first);
        EXPECT_EQ(warning["code"], "progress-without-achievement");
        const std::string id = "\"" + expected[index].second + "\"";
        EXPECT_NE(warning["message"].get<std::string>().find(id), std::string::npos);
        EXPECT_NE(warning["message_zh"].get<std::string>().find(id), std::string::npos);
        // Only the slip of the keyboard gets a likely rename.
        const bool rename = warning["message"].get<std::string>().find("\"first_note\" is close") !=
                            std::string::npos;
        EXPECT_EQ(rename, index == 0) << warning["message"];
        EXPECT_EQ(warning["message_zh"].get<std::string>().find("\"first_note\" 相近") !=
                      std::string::npos,
                  index == 0);
    }
    EXPECT_EQ(RunCheck(folder.path(), "--strict").exit_code, 3);

    // Lines after a 0x1A byte never load, so they name nothing; the byte's line is named.
    folder.Write("adv_save.txt",
                 "first_note=done\r\nx=1\r\n\x1A"
                 "very_old=done\r\n");
    const nlohmann::json stray = RunCheck(folder.path(), "").Json()["warnings"];
    ASSERT_EQ(stray.size(), 1u) << stray;
    EXPECT_EQ(stray[0]["code"], "progress-end-of-text-byte");
    EXPECT_EQ(stray[0]["line"], 3);
    EXPECT_EQ(stray[0]["file"], "adv_save.txt");
}

TEST(CheckTool, IdsThatAdvSaveCannotHoldAreNamedAndTheirUnlockExitsWithSeven) {
    ProgressTestFolder folder;
    WriteConfig(folder,
                "\"achievements\": [\n{\n\"id\": \"ok\"\n},\n{\n\"id\": \"a=b\"\n},\n{\n"
                "\"id\": \"end\x1A\"\n}\n]\n");
    folder.Write("adv_save.txt", "ok=done\r\n");
    Outcome run = RunCheck(folder.path(), "");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const nlohmann::json warnings = run.Json()["warnings"];
    std::vector<int> unsavable;  // the lines that close the two entries
    for (const nlohmann::json& warning : warnings) {
        if (warning["code"] == "id-cannot-be-saved") unsavable.push_back(warning["line"]);
    }
    EXPECT_EQ(unsavable, (std::vector<int>{7, 10}));

    run = RunCheck(folder.path(), "--unlock a=b");
    EXPECT_EQ(run.exit_code, 7);
    EXPECT_NE(run.err.find("progress not saved (adv_save.txt cannot hold an id with '='"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("进度未能保存"), std::string::npos);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    EXPECT_EQ(run.Json()["achievements"][1]["completed"], true);
    EXPECT_EQ(folder.Read("adv_save.txt"), "ok=done\r\n");
}

TEST(CheckTool, AddEditAndRemoveChangeOnlyTheirLinesAndEachRefusalHasItsCode) {
    ProgressTestFolder folder;
    WriteConfig(folder, CONFIG);
    Outcome run =
        RunCheck(folder.path(), "--add calc --title " + Shell("计算器") + " --window " +
                                    Shell("Calculator|计算器") + " --goal " + Shell("3 次"));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(folder.Read("bin/adv.json.bak"), CONFIG);
    nlohmann::json calc = RunCheck(folder.path(), "").Json()["achievements"][3];
    EXPECT_EQ(calc["trigger_description"], "窗口标题包含 Calculator 或 计算器");
    EXPECT_EQ(calc["goal"], "3 次");

    run = RunCheck(folder.path(),
                   "--edit calc --process calc.exe --trigger-description '' "
                   "--goal '' --hidden");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    calc = RunCheck(folder.path(), "").Json()["achievements"][3];
    EXPECT_EQ(calc["title"], "计算器");
    EXPECT_EQ(calc["trigger_description"], "运行 calc.exe");
    EXPECT_EQ(calc["trigger_type"], "process_name");
    EXPECT_TRUE(calc["goal"].is_null());
    EXPECT_EQ(RunCheck(folder.path(), "--remove calc").exit_code, 0);
    EXPECT_EQ(folder.Read("bin/adv.json"), CONFIG);

    const std::vector<std::tuple<std::string, int, std::string>> refused = {
        {"--edit b --title X", 13, "line 17: the achievement there has this id too"},
        {"--remove zzz", 12, "no achievement has this id"},
        {"--add a --title X --process x.exe", 13, "line 3: "},
        {"--add n --title 'x]' --process C:/x.exe", 14,
         "  title: holds ']', which ends the whole achievement list / title：不能包含 ]"},
        {"--edit a --goal '3 weeks'", 14, "  trigger_goal: has a unit other than"},
    };
    for (const auto& [arguments, code, said] : refused) {
        run = RunCheck(folder.path(), arguments);
        EXPECT_EQ(run.exit_code, code) << arguments;
        EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
        EXPECT_EQ(folder.Read("bin/adv.json"), CONFIG);
    }
    folder.Write("bin/adv.json", "{ \"achievements\": [{ \"id\": \"a\" }] }");
    run = RunCheck(folder.path(), "--remove a");
    EXPECT_EQ(run.exit_code, 11);
    EXPECT_NE(run.err.find("laurelight-check --format --write"), std::string::npos) << run.err;
    EXPECT_EQ(RunCheck(folder.path() / "bin", "--remove a").exit_code, 1);
}

// laurelight-check as a user runs it: exit codes, stdout JSON, stderr text, the progress file.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "tests/files/progress_test_folder.h"

namespace {

struct Outcome {
    int exit_code = -1;
    std::string out;
    std::string err;
    nlohmann::json Json() const { return nlohmann::json::parse(out); }
};

std::string Shell(const std::string& text) {
    return "'" + text + "'";
}

// Runs the tool in `working_directory` with the arguments, already quoted for the shell.
Outcome RunCheck(const std::filesystem::path& working_directory, const std::string& arguments) {
    const std::filesystem::path err_file = working_directory / "stderr.txt";
    const std::string command = "cd " + Shell(working_directory.string()) + " && " +
                                Shell(LAURELIGHT_CHECK_EXE) + " " + arguments + " 2>" +
                                Shell(err_file.string());
    Outcome outcome;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return outcome;
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        outcome.out.append(buffer, count);
    const int status = pclose(pipe);
    outcome.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(err_file, std::ios::binary);
    outcome.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    std::filesystem::remove(err_file);
    return outcome;
}

constexpr const char* kConfig = R"({
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

void WriteConfig(const ProgressTestFolder& folder, const std::string& text) {
    std::filesystem::create_directories(folder.File("bin"));
    folder.Write("bin/adv.json", text);
}

std::vector<std::string> Strings(const nlohmann::json& array) {
    return array.get<std::vector<std::string>>();
}

}  // namespace

TEST(CheckTool, PrintsTheLoadedStateOfTheCurrentFolder) {
    ProgressTestFolder folder;
    WriteConfig(folder, kConfig);
    folder.Write("adv_save.txt", "a=done\r\nzzz=done\r\n");
    const Outcome run = RunCheck(folder.path(), "");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const nlohmann::json json = run.Json();
    const std::string base = std::filesystem::canonical(folder.path()).string();
    EXPECT_EQ(json["config_path"], base + "\\bin\\adv.json");
    EXPECT_EQ(json["save_path"], base + "\\adv_save.txt");
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
    EXPECT_EQ(codes, (std::vector<std::string>{"unknown-trigger-type", "duplicate-id"}));
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
    EXPECT_EQ(run.err, "找不到成就配置文件！\n请确保以下文件存在：\n" + base + "\\bin\\adv.json\n");

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
    WriteConfig(folder, kConfig);
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

TEST(CheckTool, UnlockOfAnUnknownIdExitsWithTwoAndWritesNothing) {
    ProgressTestFolder folder;
    WriteConfig(folder, kConfig);
    const Outcome run = RunCheck(folder.path(), ". --unlock nope");
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_NE(run.err.find("nope"), std::string::npos);
    EXPECT_FALSE(folder.Exists("adv_save.txt"));
    EXPECT_EQ(run.Json()["completed_list"].size(), 0u);
    EXPECT_EQ(RunCheck(folder.path(), ". --bogus").exit_code, 64);
    EXPECT_EQ(RunCheck(folder.path(), ". other").exit_code, 64);
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

namespace {

// Reads one line of a child's output; empty at its end.
std::string ReadLine(FILE* pipe) {
    char buffer[4096];
    return std::fgets(buffer, sizeof buffer, pipe) != nullptr ? std::string(buffer) : "";
}

// A command started through the shell, which prints its pid before it becomes the command.
struct Child {
    explicit Child(const std::string& command)
        : pipe(popen(("echo $$; exec " + command).c_str(), "r")) {
        pid = std::stoi(ReadLine(pipe));
    }
    ~Child() {
        if (pipe == nullptr) return;
        kill(pid, SIGKILL);
        pclose(pipe);
    }
    FILE* pipe;
    pid_t pid;
};

// A copy of sleep under a name of its own, with a letter outside ASCII, so it shows in /proc.
std::filesystem::path Probe(const ProgressTestFolder& folder) {
    const std::filesystem::path probe = folder.File("lprobé-" + std::to_string(getpid()));
    std::filesystem::copy_file("/bin/sleep", probe);
    return probe;
}

std::string ProbeConfig(const std::string& name) {
    const std::string tail = name.substr(std::string("lprobé").size());
    std::string entries;
    const std::pair<std::string, std::string> triggers[] = {{name, "process_name"},
                                                            {"LPROBé" + tail, "process_name"},
                                                            {"lprobÉ" + tail, "process_name"},
                                                            {name + ".exe", "process_name"},
                                                            {"/bin/" + name, "process_name"},
                                                            {" Probe", "window_title"},
                                                            {name, "process_name"}};
    char id = 'a';
    for (const auto& [value, type] : triggers) {
        entries += std::string(entries.empty() ? "" : ",\n") + "    {\n      \"id\": \"" + id++ +
                   "\",\n      \"trigger_value\": \"" + value + "\",\n      \"trigger_type\": \"" +
                   type + "\"\n    }";
    }
    return "{\n  \"achievements\": [\n" + entries + "\n  ]\n}\n";
}

}  // namespace

TEST(CheckTool, DesktopTellsWhichRunningProcessMeetsEachOpenTriggerOrNearlyDoes) {
    ProgressTestFolder folder;
    const std::filesystem::path probe = Probe(folder);
    const std::string name = probe.filename().string();
    WriteConfig(folder, ProbeConfig(name));
    folder.Write("adv_save.txt", "g=done\r\n");
    const Child running(Shell(probe.string()) + " 30");
    for (int tries = 0; tries < 100; ++tries) {
        std::error_code error;
        const auto exe =
            std::filesystem::read_symlink("/proc/" + std::to_string(running.pid) + "/exe", error);
        if (exe.filename() == name) break;
        usleep(20000);
    }
    const Outcome run = RunCheck(folder.path(), "--desktop");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const nlohmann::json json = run.Json();
    const std::vector<std::string> processes = Strings(json["processes"]);
    EXPECT_NE(std::find(processes.begin(), processes.end(), name), processes.end());
    EXPECT_TRUE(json["windows"].empty());
    ASSERT_EQ(json["notes"].size(), 1u);
    EXPECT_NE(json["notes"][0].get<std::string>().find("not available"), std::string::npos);

    std::map<std::string, std::string> outcome;  // id -> what met it, or the near-miss codes
    for (const nlohmann::json& open : json["open_achievements"]) {
        std::string& text = outcome[open["id"]];
        if (open["met"] == true) text = "met by " + open["met_by"]["process"].get<std::string>();
        for (const nlohmann::json& miss : open.value("near_misses", nlohmann::json::array())) {
            text += miss["code"].get<std::string>() + " " + miss.value("process", "") + ";";
        }
    }
    // g is completed: not looked at. b differs from the name only in ASCII case: met, as
    // in the program; c only in the case of é: a near miss.
    EXPECT_EQ(outcome, (std::map<std::string, std::string>{{"a", "met by " + name},
                                                           {"b", "met by " + name},
                                                           {"c", "process-case " + name + ";"},
                                                           {"d", "exe-suffix " + name + ";"},
                                                           {"e", "value-has-folder " + name + ";"},
                                                           {"f", "fragment-spaces ;"}}));
    EXPECT_EQ(folder.Read("adv_save.txt"), "g=done\r\n");
    EXPECT_EQ(RunCheck(folder.path(), "--desktop --unlock a").exit_code, 64);
}

TEST(CheckTool, WatchPrintsALinePerChangeAndEndsWithZeroOnCtrlC) {
    ProgressTestFolder folder;
    const std::filesystem::path probe = Probe(folder);
    WriteConfig(folder, ProbeConfig(probe.filename().string()));
    folder.Write("adv_save.txt", "g=done\r\n");
    Child watch(Shell(LAURELIGHT_CHECK_EXE) + " " + Shell(folder.path().string()) + " --watch 20");
    ASSERT_EQ(std::system((Shell(probe.string()) + " 1 &").c_str()), 0);
    const nlohmann::json met = nlohmann::json::parse(ReadLine(watch.pipe));
    EXPECT_EQ(met["id"], "a");
    EXPECT_EQ(met["met"], true);
    EXPECT_EQ(met["met_by"]["process"], probe.filename().string());
    EXPECT_EQ(met["time"].get<std::string>().size(), 24u);  // 2026-12-08T16:42:01.266Z
    EXPECT_EQ(nlohmann::json::parse(ReadLine(watch.pipe))["id"], "b");
    const nlohmann::json gone = nlohmann::json::parse(ReadLine(watch.pipe));
    EXPECT_EQ(gone["id"], "a");
    EXPECT_EQ(gone["met"], false);
    EXPECT_FALSE(gone.contains("met_by"));
    EXPECT_EQ(nlohmann::json::parse(ReadLine(watch.pipe))["met"], false);
    kill(watch.pid, SIGINT);
    EXPECT_EQ(ReadLine(watch.pipe), "");
    const int status = pclose(watch.pipe);
    watch.pipe = nullptr;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(folder.Read("adv_save.txt"), "g=done\r\n");
}

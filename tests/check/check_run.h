#pragma once
// Runs laurelight-check as a user would, in a folder of its own, and collects what it did.

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

#include "tests/files/progress_test_folder.h"

struct Outcome {
    int exit_code = -1;
    std::string out;
    std::string err;
    nlohmann::json Json() const { return nlohmann::json::parse(out); }
};

inline std::string Shell(const std::string& text) {
    return "'" + text + "'";
}

// Runs the tool in `working_directory` with the arguments, already quoted for the shell.
inline Outcome RunCheck(const std::filesystem::path& working_directory,
                        const std::string& arguments) {
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

inline void WriteConfig(const ProgressTestFolder& folder, const std::string& text) {
    std::filesystem::create_directories(folder.File("bin"));
    folder.Write("bin/adv.json", text);
}

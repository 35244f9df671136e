#pragma once
// A fresh folder in the temp directory for one test or benchmark, removed again at the end,
// with helpers to put raw bytes into its files (and their folders) and read them back.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "model/achievement.h"
#include "platform/files.h"

// The temporary file this process writes beside `name` while it replaces it.
inline std::string TemporaryName(const std::string& name) {
    return name + "." + std::to_string(platform::CurrentProcessId()) + ".tmp";
}

class ProgressTestFolder {
  public:
    ProgressTestFolder() {
        std::random_device seed;
        const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        const std::string name = "laurelight-progress-" + std::to_string(seed()) + "-" +
                                 std::to_string(static_cast<unsigned long long>(tick));
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(path_);
    }
    ~ProgressTestFolder() {
        std::error_code ignored;
        // Read-only files would stop the removal on Windows.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(path_, ignored);
    }
    ProgressTestFolder(const ProgressTestFolder&) = delete;
    ProgressTestFolder& operator=(const ProgressTestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path File(const std::string& name) const { return path_ / name; }
    // Where a tracker would think its executable lies, with the '\' the program uses.
    std::u16string ModulePath() const { return path_.u16string() + u"\\app.exe"; }

    void Write(const std::string& name, const std::string& bytes) const {
        std::error_code ignored;
        std::filesystem::create_directories(File(name).parent_path(), ignored);
        std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(File(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(File(name)); }
    // Whether a save left a temporary file anywhere in the folder, by any writer.
    bool HasTemporaryFile() const {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_)) {
            if (entry.path().extension() == ".tmp") return true;
        }
        return false;
    }

  private:
    std::filesystem::path path_;
};

// A record with only what the progress file looks at.
inline Achievement ProgressRecord(std::u16string id, bool completed = true) {
    Achievement record;
    record.id = std::move(id);
    record.completed = completed;
    return record;
}

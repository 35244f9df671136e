// The part of the file seam that is written once for every system: what the standard streams
// already make portable, and the helpers built on the per-system functions.

#include "platform/files.h"

#include <chrono>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>

namespace platform {

namespace {

constexpr std::u16string_view TEMPORARY_SUFFIX = u".tmp";
constexpr int REPLACE_ATTEMPTS = 5;
constexpr std::chrono::milliseconds REPLACE_RETRY{20};

// istream::read turns a failing read (a directory, on some systems) into a state bit
// instead of throwing.
std::string ReadAll(std::ifstream& in) {
    std::string bytes;
    char chunk[4096];
    while (in) {
        in.read(chunk, sizeof chunk);
        bytes.append(chunk, static_cast<size_t>(in.gcount()));
    }
    return bytes;
}

// Virus scanners, backup tools and editors hold files open for a moment, and Windows refuses
// to replace a file that is open; a short retry rides that out.
FileError ReplaceWithRetries(const std::u16string& from, const std::u16string& to) {
    for (int attempt = 1;; ++attempt) {
        const FileError error = ReplaceFileAtomically(from, to);
        if (error == FileError::None || attempt == REPLACE_ATTEMPTS) return error;
        std::this_thread::sleep_for(REPLACE_RETRY);
    }
}

// Windows reports a directory where a file must go as access denied; the user is better
// told that a folder has the file's name.
FileError Explain(FileError error, const std::u16string& path) {
    if (error == FileError::None || error == FileError::IsDirectory) return error;
    return QueryFile(path).directory ? FileError::IsDirectory : error;
}

// "<file>.<digits>.tmp", as TemporaryPath makes it.
bool IsTemporaryName(std::u16string_view name, std::u16string_view prefix) {
    if (!name.starts_with(prefix) || !name.ends_with(TEMPORARY_SUFFIX)) return false;
    name.remove_prefix(prefix.size());
    name.remove_suffix(TEMPORARY_SUFFIX.size());
    if (name.empty()) return false;
    for (const char16_t unit : name) {
        if (unit < u'0' || unit > u'9') return false;
    }
    return true;
}

}  // namespace

std::string ReadFileBytes(const std::u16string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    return ReadAll(in);
}

std::optional<std::string> TryReadFileBytes(const std::u16string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in.is_open()) return std::nullopt;
    std::string bytes = ReadAll(in);
    if (in.bad()) return std::nullopt;
    return bytes;
}

std::u16string TemporaryPath(const std::u16string& path) {
    std::u16string temporary = path + u".";
    for (const char digit : std::to_string(CurrentProcessId())) temporary += char16_t(digit);
    return temporary.append(TEMPORARY_SUFFIX);
}

// Names are compared as written: the writers all build them from the same path text.
void RemoveLeftTemporaries(const std::u16string& path) {
    const std::filesystem::path target = NativePath(path);
    const std::u16string prefix = target.filename().u16string() + u".";
    const std::filesystem::path own = NativePath(TemporaryPath(path)).filename();
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(target.parent_path(), error)) {
        const std::u16string name = entry.path().filename().u16string();
        if (entry.path().filename() == own || !IsTemporaryName(name, prefix)) continue;
        std::error_code ignored;
        std::filesystem::remove(entry.path(), ignored);
    }
}

Replacement ReplaceFileSafely(const std::u16string& path, std::string_view bytes) {
    const std::u16string target = LinkTarget(path);
    // Checked first because a rename would replace a read-only file on some systems.
    const FileFacts facts = QueryFile(target);
    if (facts.directory) return {FileError::IsDirectory, ReplaceStep::Target, {}};
    if (facts.read_only) return {FileError::ReadOnly, ReplaceStep::Target, {}};

    const std::u16string temporary = TemporaryPath(target);
    const FileError written = WriteFileDurably(temporary, bytes);
    if (written != FileError::None) {
        RemoveFile(temporary);
        return {Explain(written, temporary), ReplaceStep::Temporary, {}};
    }
    // Taken before the rename, which keeps size and time: a later writer changes them.
    const FileFacts new_file = QueryFile(temporary);
    const FileError replaced = ReplaceWithRetries(temporary, target);
    if (replaced != FileError::None) {
        RemoveFile(temporary);
        return {Explain(replaced, target), ReplaceStep::Replace, {}};
    }
    return {FileError::None, ReplaceStep::Replace, new_file};
}

}  // namespace platform

#pragma once
// How the tracker reads the files it keeps beside the program (adv_save.txt, adv_stats.txt).

#include <optional>
#include <string>

#include "platform/files.h"

// The file's facts just before it was read, and its bytes: none when it exists as a file but
// cannot be read (held open without sharing), which must never pass for an empty file. An
// absent file, or a folder of its name, reads as empty.
struct StateFileReading {
    platform::FileFacts stamp;
    std::optional<std::string> bytes;
};

inline StateFileReading ReadStateFile(const std::u16string& path) {
    StateFileReading reading{platform::QueryFile(platform::LinkTarget(path)), std::string()};
    if (reading.stamp.exists && !reading.stamp.directory) {
        reading.bytes = platform::TryReadFileBytes(path);
    }
    return reading;
}

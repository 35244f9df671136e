// Feeds arbitrary bytes to the configuration scanner, with and without the findings report,
// and to ExtractJsonString on every line. Beyond memory safety it checks what must hold for
// any input: the report never changes what loads, no record without an id loads, a value is
// never longer in code units than its bytes, and a value is never taken from past the line.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "config/config_scan.h"
#include "config/scan_report.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

void CheckLine(std::string_view line) {
    for (const ConfigKey& key : CONFIG_KEYS) {
        const std::u16string value = ExtractJsonString(line, key.name);
        FUZZ_REQUIRE(value.size() <= line.size());
        // A value needs its needle and an opening quote on the line.
        if (!value.empty()) FUZZ_REQUIRE(line.size() >= key.name.size() + 4 + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);

    std::vector<Achievement> plain;
    ScanAchievements(content, plain);
    std::vector<Achievement> reported;
    ScanReport report;
    ScanAchievements(content, reported, &report);
    FUZZ_REQUIRE(plain == reported);

    std::size_t lines = 0;
    for (std::size_t begin = 0; begin < content.size(); ++lines) {
        std::size_t end = content.find('\n', begin);
        if (end == std::string_view::npos) end = content.size();
        CheckLine(content.substr(begin, end - begin));
        begin = end + 1;
    }
    // One record per entry at most, and an entry needs an opening and a closing line.
    FUZZ_REQUIRE(plain.size() <= lines);
    for (const Achievement& record : plain) {
        FUZZ_REQUIRE(!record.id.empty());
        FUZZ_REQUIRE(!record.completed);
    }
    for (const ConfigFinding& finding : report.findings) {
        FUZZ_REQUIRE(finding.line <= lines);
        FUZZ_REQUIRE(!finding.code.empty());
    }
    return 0;
}

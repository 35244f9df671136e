// Feeds arbitrary bytes, as UTF-8 or UTF-16, to laurelight-check --format's conversion. The
// program's scanner must load from its text exactly the achievements a JSON parser reads from the
// input, less the values reported lost; with none lost the text must be the same JSON.

#include <cstddef>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "check/format_config.h"
#include "config/config_scan.h"
#include "tests/fuzz/fuzz_check.h"
#include "text/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input =
        TextAsUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    const FormattedConfig formatted = FormatConfig(input);
    if (!formatted.error.empty()) {
        FUZZ_REQUIRE(formatted.text.empty() && formatted.achievements.empty());
        return 0;
    }
    FUZZ_REQUIRE(formatted.text.rfind("{\r\n", 0) == 0);
    for (std::size_t at = formatted.text.find('\n'); at != std::string::npos;
         at = formatted.text.find('\n', at + 1)) {
        FUZZ_REQUIRE(at > 0 && formatted.text[at - 1] == '\r');
    }
    // What cannot be carried is left out; everything else loads as the JSON parser read it.
    std::vector<Achievement> loaded;
    ScanAchievements(formatted.text, loaded);
    FUZZ_REQUIRE(loaded == formatted.achievements);
    if (!formatted.lost.empty()) return 0;
    FUZZ_REQUIRE(nlohmann::json::parse(formatted.text) == nlohmann::json::parse(input));
    return 0;
}

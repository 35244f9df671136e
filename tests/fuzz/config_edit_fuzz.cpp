// Feeds arbitrary bytes to the writer of the configuration as the file it edits. Whatever the
// file holds, an edit is refused or loads exactly the old achievements with the one change,
// keeps the byte-order mark, and an addition comes off again by a removal byte for byte.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "config/config_edit.h"
#include "tests/core/config_samples.h"
#include "tests/fuzz/fuzz_check.h"
#include "text/text_encoding.h"

namespace {

void CheckResult(std::string_view file, const ConfigEdit& edit,
                 const std::vector<Achievement>& expected) {
    if (edit.refusal != EditRefusal::None) {
        FUZZ_REQUIRE(edit.bytes.empty());
        return;
    }
    // A byte-order mark before the first line changes nothing the scanner reads.
    FUZZ_REQUIRE(Scan(edit.bytes) == expected);
    FUZZ_REQUIRE(file.starts_with(UTF8_BYTE_ORDER_MARK) ==
                 edit.bytes.starts_with(UTF8_BYTE_ORDER_MARK));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const std::vector<Achievement> old = Scan(file);

    Achievement added;
    added.id = u"fuzz_added";
    added.title = u"新的成就";
    added.trigger_value = u"Fuzz|模糊";
    added.trigger_type = TriggerType::WindowTitle;
    added.hidden = u"true";
    const ConfigEdit addition = AddEntry(file, added);
    std::vector<Achievement> expected = old;
    expected.push_back(added);
    CheckResult(file, addition, expected);
    if (addition.refusal == EditRefusal::None) {
        const ConfigEdit removal = RemoveEntry(addition.bytes, added.id);
        FUZZ_REQUIRE(removal.refusal == EditRefusal::None && removal.bytes == file);
    }

    // Every loaded entry once: retitled with a goal, then removed.
    for (std::size_t index = 0; index < old.size() && index < 8; ++index) {
        Achievement changed = old[index];
        changed.title = u"Fuzz";
        changed.trigger_goal = u"2 days";
        changed.trigger_type = TriggerType::ProcessName;
        changed.trigger_value = u"fuzz.exe";
        expected = old;
        expected[index] = changed;
        const ConfigEdit change =
            ChangeEntry(file, old[index].id, ChangesBetween(old[index], changed));
        if (change.refusal != EditRefusal::BadValue) CheckResult(file, change, expected);
        expected = old;
        expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(index));
        CheckResult(file, RemoveEntry(file, old[index].id), expected);
    }
    return 0;
}

#include "bench/bench_data.h"

#include <string>

#include "tests/fake/fake_platform.h"
#include "text/utf8.h"

namespace bench {

namespace {

// Appending to a prefix (rather than prefix + temporary) keeps g++ 12's -Wrestrict quiet.
std::u16string Id(std::size_t index) {
    std::u16string id = u"a";
    id += Utf8ToUtf16(std::to_string(index));
    return id;
}

}  // namespace

std::string ConfigText(std::size_t count) {
    std::string text = "{\n    \"achievements\": [\n";
    for (std::size_t i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        text += "        {\n";
        text += "            \"id\": \"a" + n + "\",\n";
        text += "            \"title\": \"成就 Achievement " + n + "\",\n";
        text += "            \"description\": \"Open the tool number " + n + " once.\",\n";
        text += "            \"trigger_description\": \"运行 tool" + n + ".exe\",\n";
        text += "            \"trigger_value\": \"tool" + n + ".exe\",\n";
        text += "            \"trigger_type\": \"process_name\"\n";
        text += i + 1 < count ? "        },\n" : "        }\n";
    }
    text += "    ]\n}\n";
    return text;
}

std::vector<Achievement> OpenAchievements(std::size_t count) {
    std::vector<Achievement> records(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::u16string n = Utf8ToUtf16(std::to_string(i));
        Achievement& record = records[i];
        record.id = Id(i);
        record.title = u"成就 Achievement " + n;
        record.description = u"Open the tool number " + n + u" once.";
        record.trigger_description = u"运行 tool" + n + u".exe";
        if (i % 2 == 0) {
            record.trigger_type = TriggerType::ProcessName;
            record.trigger_value = u"tool" + n + u".exe";
        } else {
            record.trigger_type = TriggerType::WindowTitle;
            record.trigger_value = u"Tool " + n + u" Window|工具" + n;
        }
    }
    return records;
}

std::string ProgressText(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += 'a';
        text += std::to_string(i);
        text += "=done\r\n";
    }
    return text;
}

void ServeDesktopFacts(std::size_t processes, std::size_t windows) {
    ResetFake();
    FakePlatform& fake = Fake();
    for (std::size_t i = 0; i < processes; ++i) {
        std::u16string name = u"service";
        name += Utf8ToUtf16(std::to_string(i));
        name += u".exe";
        fake.process_names.push_back(std::move(name));
    }
    for (std::size_t i = 0; i < windows; ++i) {
        std::u16string title = u"Document ";
        title += Utf8ToUtf16(std::to_string(i));
        title += u" - Some Editor (工作区)";
        fake.window_titles.push_back(std::move(title));
    }
}

}  // namespace bench

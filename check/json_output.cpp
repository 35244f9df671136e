#include "check/json_output.h"

#include "config/config_scan.h"

Json AchievementJson(const Achievement& achievement, std::initializer_list<std::string_view> keys) {
    Json json = Json::object();
    for (const std::string_view key : keys) {
        Json& member = json[std::string(key)];
        const int index = ConfigKeyIndex(key);
        if (index < 0) {
            member = achievement.completed;
        } else if (CONFIG_KEYS[index].text_field != nullptr) {
            member = Text(achievement.*CONFIG_KEYS[index].text_field);
        } else {
            member = TriggerTypeName(achievement.trigger_type);
        }
    }
    return json;
}

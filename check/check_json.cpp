#include "check/check_json.h"

#include "config/config_scan.h"

Json AchievementJson(const Achievement& achievement, std::initializer_list<std::string_view> keys) {
    Json json = Json::object();
    for (const std::string_view key : keys) {
        const int index = ConfigKeyIndex(key);
        json[std::string(key)] = index < 0 ? Json(achievement.completed)
                                 : CONFIG_KEYS[index].text_field != nullptr
                                     ? Json(Text(achievement.*CONFIG_KEYS[index].text_field))
                                     : Json(TriggerTypeName(achievement.trigger_type));
    }
    return json;
}

#include "config/config_status.h"

#include <string>

#include "config/config_loader.h"
#include "text/utf8.h"

namespace {

// The loader's three messages, said in a few words for one line.
std::u16string_view FailureReason(std::u16string_view failure) {
    if (failure.starts_with(CONFIG_MISSING_MESSAGE)) return u"找不到文件";
    if (failure == CONFIG_UNREADABLE_MESSAGE) return u"文件为空或读取失败";
    return u"解析失败或没有找到成就配置";
}

}  // namespace

std::u16string ConfigStatusLine(std::u16string_view failure, std::size_t findings) {
    if (!failure.empty()) {
        std::u16string line = u"adv.json 未能加载（";
        line += FailureReason(failure);
        line += u"），仍使用之前加载的成就；laurelight-check 可说明原因";
        return line;
    }
    if (findings == 0) return {};
    return u"adv.json 有 " + Utf8ToUtf16(std::to_string(findings)) +
           u" 处问题，laurelight-check 可说明";
}

// The one way bin\adv.json is written, and what the user is told when an edit is refused.

#include <optional>

#include "config/config_edit.h"
#include "model/data_paths.h"
#include "platform/folder_state_lock.h"
#include "text/utf8.h"

namespace {

struct RefusalText {
    const char* english;
    const char16_t* chinese;
};

RefusalText TextOf(EditRefusal refusal) {
    switch (refusal) {
        case EditRefusal::NoList:
            return {
                "bin\\adv.json has no \"achievements\": [ line, or no line that closes the list",
                u"bin\\adv.json 中没有 \"achievements\": [ 这一行，或没有结束成就列表的一行"};
        case EditRefusal::Layout:
            return {
                "adv.json is not written here in the layout that can be changed safely (a "
                "member on the line of a '{', several entries or members on one line, a "
                "nested object); run laurelight-check --format --write first",
                u"adv.json 此处的写法无法安全修改（成员与 { 在同一行、一行中有多个条目或成员、"
                u"嵌套的对象等）；请先运行 laurelight-check --format --write"};
        case EditRefusal::NoSuchId:
            return {"no achievement has this id (any more)", u"没有（或已不再有）使用此 id 的成就"};
        case EditRefusal::DuplicateId:
            return {"the achievement there has this id too; ids must be unique",
                    u"那里的成就也使用此 id；id 不能重复"};
        case EditRefusal::BadValue:
            return {"a value cannot be written as it is", u"有的值无法按原样写入"};
        case EditRefusal::IdChange:
            return {"the id cannot change: its saved progress would no longer belong to it",
                    u"id 不能修改：已保存的进度将不再属于此成就"};
        default:
            return {"", u""};
    }
}

}  // namespace

EditRefusalText DescribeRefusal(EditRefusal refusal, std::size_t line) {
    const RefusalText text = TextOf(refusal);
    EditRefusalText described{text.english, text.chinese};
    if (refusal != EditRefusal::None && line != 0) {
        const std::string number = std::to_string(line);
        described.english = "line " + number + ": " + described.english;
        described.chinese = u"第 " + Utf8ToUtf16(number) + u" 行：" + described.chinese;
    }
    return described;
}

// Windows refuses to replace a file that is still open, so the old bytes are read, and the
// file closed, before anything is written.
ConfigWrite ApplyConfigEdit(const std::u16string& config_path,
                            const std::function<ConfigEdit(std::string_view file)>& edit) {
    using platform::FileError;
    const platform::FolderStateLock lock(ExecutableDirectory(ExecutableDirectory(config_path)),
                                         platform::STATE_LOCK_WAIT_MS);
    if (!lock.Held()) return {EditRefusal::None, 0, FileError::Other, {}};
    const std::optional<std::string> old_bytes = platform::TryReadFileBytes(config_path);
    if (!old_bytes) return {EditRefusal::None, 0, FileError::Unreadable, {}};
    ConfigEdit changed = edit(*old_bytes);
    if (changed.refusal != EditRefusal::None) {
        return {changed.refusal, changed.line, FileError::None, std::move(changed.problems)};
    }
    // No edit empties the file: such a result is a fault of the edit, never written.
    if (changed.bytes.empty()) return {EditRefusal::None, 0, FileError::Other, {}};
    platform::RemoveLeftTemporaries(platform::LinkTarget(config_path));
    FileError error = platform::WriteFileDurably(config_path + u".bak", *old_bytes);
    if (error == FileError::None)
        error = platform::ReplaceFileSafely(config_path, changed.bytes).error;
    return {EditRefusal::None, 0, error, {}};
}

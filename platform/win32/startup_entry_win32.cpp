#include "platform/win32/win32.h"

#include "platform/startup_entry.h"

namespace platform {
namespace {

constexpr wchar_t RUN_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Owns an open registry key and closes it once.
class RegistryKey {
  public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY Get() const { return key_; }
    HKEY* Out() { return &key_; }

  private:
    HKEY key_ = nullptr;
};

}  // namespace

std::optional<std::u16string> ReadStartupEntry(const std::u16string& name) {
    // REG_SZ alone: a REG_EXPAND_SZ value then comes back expanded, as Windows runs it.
    constexpr DWORD TEXT_TYPES = RRF_RT_REG_SZ;
    // The size may grow between the two calls if another program rewrites the value.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD bytes = 0;
        LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, RUN_KEY, Wide(name), TEXT_TYPES, nullptr,
                                      nullptr, &bytes);
        if (status != ERROR_SUCCESS) return std::nullopt;
        std::u16string text(bytes / sizeof(wchar_t) + 1, u'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status = RegGetValueW(HKEY_CURRENT_USER, RUN_KEY, Wide(name), TEXT_TYPES, nullptr,
                              Wide(text), &bytes);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return std::nullopt;
        return std::u16string(TextInBuffer(Wide(text), text.size()));
    }
    return std::nullopt;
}

bool WriteStartupEntry(const std::u16string& name, const std::u16string& command) {
    RegistryKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, RUN_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.Out(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), Wide(name), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(command.c_str()), bytes) == ERROR_SUCCESS;
}

bool RemoveStartupEntry(const std::u16string& name) {
    RegistryKey key;
    const LSTATUS opened = RegOpenKeyExW(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_SET_VALUE, key.Out());
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return false;
    const LSTATUS deleted = RegDeleteValueW(key.Get(), Wide(name));
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

}  // namespace platform

#pragma once
// Per-user start-up entries: string values under
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run, which Windows starts at
// sign-in. Writable without administrator rights. Windows only.

#include <optional>
#include <string>

namespace platform {

// The value's text (REG_SZ, or REG_EXPAND_SZ expanded); nothing when it is missing or holds
// no text.
std::optional<std::u16string> ReadStartupEntry(const std::u16string& name);

// Creates or replaces the value as REG_SZ; true when it was written.
bool WriteStartupEntry(const std::u16string& name, const std::u16string& command);

// True when the value is gone afterwards, also when there was none.
bool RemoveStartupEntry(const std::u16string& name);

}  // namespace platform

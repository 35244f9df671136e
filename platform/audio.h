#pragma once
// Sound output, passed straight through to WinMM.

#include <string>

namespace platform {

// PlaySoundW(path, nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT).
void PlayWaveFileAsync(const std::u16string& path);

// mciSendStringW without a callback window. With a reply buffer, it is 256 units long and
// the reply is copied into *reply. Returns the MCI error code (0 on success).
unsigned SendMciCommand(const std::u16string& command, std::u16string* reply);

// MessageBeep(MB_OK).
void DefaultBeep();

}  // namespace platform

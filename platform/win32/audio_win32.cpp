// The sound half of the seam on Windows: WinMM and the default beep.

#include <windows.h>
#include <mmsystem.h>

#include "platform/audio.h"

static_assert(sizeof(wchar_t) == 2, "UTF-16 text is handed to Win32 as wchar_t");

namespace platform {

void PlayWaveFileAsync(const std::u16string& path) {
    PlaySoundW(reinterpret_cast<const wchar_t*>(path.c_str()), nullptr,
               SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

unsigned SendMciCommand(const std::u16string& command, std::u16string* reply) {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(command.c_str());
    if (reply == nullptr) return mciSendStringW(text, nullptr, 0, nullptr);
    wchar_t buffer[256] = {};
    const MCIERROR error = mciSendStringW(text, buffer, 256, nullptr);
    buffer[255] = L'\0';
    reply->assign(reinterpret_cast<const char16_t*>(buffer));
    return static_cast<unsigned>(error);
}

void DefaultBeep() { MessageBeep(MB_OK); }

}  // namespace platform

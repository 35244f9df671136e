// The sound half of the seam on Windows: WinMM and the default beep.

#include "platform/win32/win32.h"
#include <mmsystem.h>

#include "platform/audio.h"

#include "platform/win32/system_library_win32.h"

namespace platform {

namespace {

// WinMM comes from the system folder only (see system_library_win32.h).
BOOL PlaySoundSystem(const wchar_t* sound, HMODULE module, DWORD flags) {
    static const auto play = SystemFunction<decltype(&PlaySoundW)>(L"winmm.dll", "PlaySoundW");
    return play != nullptr && play(sound, module, flags);
}

MCIERROR SendMciString(const wchar_t* command, wchar_t* reply, UINT length) {
    static const auto send =
        SystemFunction<decltype(&mciSendStringW)>(L"winmm.dll", "mciSendStringW");
    return send != nullptr ? send(command, reply, length, nullptr) : MCIERR_DRIVER;
}

}  // namespace

void PlayWaveFileAsync(const std::u16string& path) {
    PlaySoundSystem(Wide(path), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

unsigned SendMciCommand(const std::u16string& command, std::u16string* reply) {
    const wchar_t* text = Wide(command);
    if (reply == nullptr) return SendMciString(text, nullptr, 0);
    wchar_t buffer[256] = {};
    const MCIERROR error = SendMciString(text, buffer, 256);
    reply->assign(TextInBuffer(buffer, 255));
    return static_cast<unsigned>(error);
}

void DefaultBeep() {
    MessageBeep(MB_OK);
}

}  // namespace platform

// The sound half of the seam on Windows: WinMM and the default beep.

#include <windows.h>
#include <mmsystem.h>

#include "platform/audio.h"
#include "platform/win32/system_library_win32.h"

static_assert(sizeof(wchar_t) == 2, "UTF-16 text is handed to Win32 as wchar_t");

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
    PlaySoundSystem(reinterpret_cast<const wchar_t*>(path.c_str()), nullptr,
                    SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

unsigned SendMciCommand(const std::u16string& command, std::u16string* reply) {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(command.c_str());
    if (reply == nullptr) return SendMciString(text, nullptr, 0);
    wchar_t buffer[256] = {};
    const MCIERROR error = SendMciString(text, buffer, 256);
    buffer[255] = L'\0';
    reply->assign(reinterpret_cast<const char16_t*>(buffer));
    return static_cast<unsigned>(error);
}

void DefaultBeep() {
    MessageBeep(MB_OK);
}

}  // namespace platform

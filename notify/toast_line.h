#pragma once
// The line of toasts waiting to open, and when their sounds play. Toasts meet the user one at
// a time: the one at the front opens when none is on screen and the shell lets it be seen.
// Over a Direct3D exclusive fullscreen program no window shows, so the toast waits, but its
// sound plays at once: the player hears the unlock, and the toast opens silently afterwards.
// In presentation mode the toast waits in silence and sounds when it opens. Every other
// answer (busy, which borderless fullscreen gives, quiet time, ...) opens it at once.
// The user's settings are read as each toast opens or sounds, so a toast that waited takes
// the place chosen meanwhile, and while the sounds are muted nothing plays, not even a beep.
// Portable; UI thread only.

#include <cstddef>
#include <deque>

#include "notify/toast_content.h"
#include "platform/desktop.h"
#include "settings/app_settings.h"

// While toasts wait for the shell, it is asked again this often.
constexpr unsigned TOAST_LOOK_AGAIN_MS = 1000;

enum class ToastTurn { Open, WaitSounding, WaitSilent };
ToastTurn ToastTurnFor(platform::UserNotificationState state);

// Opens the toast window under the settings in force; true when it is on screen, and the line
// then waits for ToastClosed.
using ToastOpener = bool (*)(const ToastContent& toast, const AppSettings& settings);

class ToastLine {
  public:
    explicit ToastLine(ToastOpener open) : open_(open) {}
    ToastLine(const ToastLine&) = delete;
    ToastLine& operator=(const ToastLine&) = delete;

    // The settings in force from now on, owned by the caller; null for the defaults.
    void UseSettings(const AppSettings* settings) { settings_ = settings; }

    // An unlock: its toast joins the end of the line.
    void Add(ToastContent toast);
    // The toast on screen has gone.
    void ToastClosed();
    // The look that the caller repeats every TOAST_LOOK_AGAIN_MS while Held().
    void LookAgain();
    // The program is closing: whatever waits is dropped, without a sound.
    void Clear();

    // True while toasts wait for nothing but the shell.
    bool Held() const { return held_; }
    std::size_t Waiting() const { return waiting_.size(); }

  private:
    struct WaitingToast {
        ToastContent content;
        bool sounded = false;
    };

    const AppSettings& Settings() const { return settings_ != nullptr ? *settings_ : defaults_; }
    void Look();
    void OpenFront();
    void Sound(const ToastContent& toast) const;

    ToastOpener open_;
    const AppSettings* settings_ = nullptr;
    AppSettings defaults_;
    std::deque<WaitingToast> waiting_;
    bool toast_open_ = false;
    bool held_ = false;
};

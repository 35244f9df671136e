#pragma once
// The line of toasts waiting to open, and when their sounds play. Toasts meet the user one at
// a time: the one at the front opens when none is on screen and the shell lets it be seen.
// Over a Direct3D exclusive fullscreen program no window shows, so the toast waits, but its
// sound plays at once: the player hears the unlock, and the toast opens silently afterwards.
// In presentation mode the toast waits in silence and sounds when it opens. Every other
// answer (busy, which borderless fullscreen gives, quiet time, ...) opens it at once.
// Portable; UI thread only.

#include <cstddef>
#include <deque>
#include <string>

#include "platform/desktop.h"

// While toasts wait for the shell, it is asked again this often.
constexpr unsigned TOAST_LOOK_AGAIN_MS = 1000;

enum class ToastTurn { Open, WaitSounding, WaitSilent };
ToastTurn ToastTurnFor(platform::UserNotificationState state);

// Opens the toast window for the title; true when it is on screen, and the line then waits
// for ToastClosed.
using ToastOpener = bool (*)(const std::u16string& title);

class ToastLine {
  public:
    explicit ToastLine(ToastOpener open) : open_(open) {}
    ToastLine(const ToastLine&) = delete;
    ToastLine& operator=(const ToastLine&) = delete;

    // An unlock: its toast joins the end of the line.
    void Add(std::u16string title);
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
        std::u16string title;
        bool sounded = false;
    };

    void Look();
    void OpenFront();

    ToastOpener open_;
    std::deque<WaitingToast> waiting_;
    bool toast_open_ = false;
    bool held_ = false;
};

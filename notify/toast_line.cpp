#include "notify/toast_line.h"

#include <utility>

#include "sound/unlock_sound.h"

using platform::UserNotificationState;

ToastTurn ToastTurnFor(UserNotificationState state) {
    switch (state) {
        case UserNotificationState::RunningD3dFullScreen:
            return ToastTurn::WaitSounding;
        case UserNotificationState::PresentationMode:
            return ToastTurn::WaitSilent;
        default:
            return ToastTurn::Open;
    }
}

// Asked at every unlock too, so that in exclusive fullscreen each unlock sounds when it
// happens, even behind a toast still on screen.
void ToastLine::Add(ToastContent toast) {
    waiting_.push_back({std::move(toast), false});
    Look();
}

void ToastLine::ToastClosed() {
    toast_open_ = false;
    Look();
}

void ToastLine::LookAgain() {
    if (held_) Look();
}

void ToastLine::Clear() {
    waiting_.clear();
    held_ = false;
}

void ToastLine::Look() {
    held_ = false;
    if (waiting_.empty()) return;
    const ToastTurn turn = ToastTurnFor(platform::QueryUserNotificationState());
    if (turn == ToastTurn::WaitSounding) {
        for (WaitingToast& toast : waiting_) {
            if (!toast.sounded) Sound(toast.content);
            toast.sounded = true;
        }
    }
    if (toast_open_) return;
    held_ = turn != ToastTurn::Open;
    if (!held_) OpenFront();
}

// A toast whose window could not be made still sounds, and the next one follows at once.
void ToastLine::OpenFront() {
    while (!toast_open_ && !waiting_.empty()) {
        const WaitingToast next = std::move(waiting_.front());
        waiting_.pop_front();
        toast_open_ = open_(next.content, Settings());
        if (!next.sounded) Sound(next.content);
    }
}

void ToastLine::Sound(const ToastContent& toast) const {
    if (!Settings().muted) PlayUnlockSound(toast.sound);
}

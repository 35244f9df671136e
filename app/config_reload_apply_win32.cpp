// Only the newest reading waits: a newer one replaces it, an older one is dropped. Applying it
// refills both lists here with their drawing held back until the refill is done, so a large
// configuration is drawn once rather than item by item.

#include "app/config_reload_apply.h"

#include <memory>
#include <mutex>

#include "app/app_globals.h"
#include "app/save_status_line.h"
#include "tracker/config_reload.h"
#include "tracker/tracker.h"

namespace {

constexpr UINT CONFIG_APPLY_RETRY_MS = 50;

std::unique_ptr<ConfigReload> g_waitingConfig;

// Holds back a list's drawing while it is refilled, and draws it once at the end.
class RedrawPause {
  public:
    explicit RedrawPause(platform::ListRef list) : list_(static_cast<HWND>(list.handle)) {
        if (list_ != nullptr) SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawPause() {
        if (list_ == nullptr) return;
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list_, nullptr, TRUE);
    }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

  private:
    HWND list_;
};

void TryApply(HWND window) {
    if (g_tracker == nullptr || g_waitingConfig == nullptr) {
        DropWaitingConfig(window);
        return;
    }
    std::unique_lock<std::mutex> pass(g_tracker->pass_mutex, std::try_to_lock);
    if (!pass.owns_lock()) {
        SetTimer(window, CONFIG_APPLY_TIMER_ID, CONFIG_APPLY_RETRY_MS, nullptr);
        return;
    }
    KillTimer(window, CONFIG_APPLY_TIMER_ID);
    const std::unique_ptr<ConfigReload> reading = std::move(g_waitingConfig);
    {
        const RedrawPause completed(g_tracker->completed_list);
        const RedrawPause pending(g_tracker->pending_list);
        ApplyConfigReload(*g_tracker, *reading);
    }
    pass.unlock();
    RefreshSaveStatusLine(window, *g_tracker);
}

void Wait(HWND window, std::unique_ptr<ConfigReload> reading) {
    if (g_waitingConfig != nullptr && g_waitingConfig->number > reading->number) return;
    g_waitingConfig = std::move(reading);
    TryApply(window);
}

}  // namespace

void OnConfigReloaded(HWND window, LPARAM reading) {
    std::unique_ptr<ConfigReload> owned(reinterpret_cast<ConfigReload*>(reading));
    if (owned != nullptr) Wait(window, std::move(owned));
}

void ReloadConfigNow(HWND window) {
    if (g_tracker == nullptr) return;
    Wait(window, std::make_unique<ConfigReload>(ReadConfigAgain(*g_tracker)));
}

void OnConfigApplyTimer(HWND window) {
    TryApply(window);
}

void DropWaitingConfig(HWND window) {
    KillTimer(window, CONFIG_APPLY_TIMER_ID);
    g_waitingConfig.reset();
}

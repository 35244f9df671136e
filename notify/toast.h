#pragma once
// The unlock toast: a topmost, translucent 640x128 window that slides in at the top right
// of the primary screen (or where the user chose), holds until five seconds after its
// creation, slides out and destroys itself. Windows only; UI thread only.

#include "model/achievement.h"
#include "settings/app_settings.h"

// Opens the toast for the achievement (its title, sound and picture are read and copied) and
// starts the unlock sound, or lines it up behind the toast on screen or until the shell lets
// it be seen. Returns at once; the toast's own timers drive it from then on.
void ShowNotification(const Achievement& achievement);

// The user's settings, read as each toast opens and sounds (its place, the quiet); they stay
// the caller's and must outlive every toast. Until this is called, the defaults hold.
void UseToastSettings(const AppSettings* settings);

// The program is closing: toasts still waiting never open and never sound.
void DropWaitingToasts();

#pragma once
// The unlock toast: a topmost, translucent 640x128 window that slides in at the top right
// of the primary screen, holds until five seconds after its creation, slides out and
// destroys itself. Windows only; UI thread only.

#include "model/achievement.h"

// Opens the toast for the achievement (only its title is read and copied) and starts the
// unlock sound, or lines it up behind the toast on screen or until the shell lets it be seen.
// Returns at once; the toast's own timers drive it from then on.
void ShowNotification(const Achievement& achievement);

// The program is closing: toasts still waiting never open and never sound.
void DropWaitingToasts();

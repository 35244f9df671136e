#pragma once
// laurelight-check --unlock ID. While Laurelight runs for the folder, the unlock is handed to
// it, so that the folder's progress keeps a single writer; otherwise the tool completes the
// achievement itself and saves, holding the folder's claim meanwhile so that no program starts
// writing at the same moment.

#include <string>

#include "tracker/tracker.h"

// The exit status (0, EXIT_NO_SUCH_PENDING_ID, EXIT_NOT_SAVED or EXIT_NO_ANSWER), with the
// reason on stderr. The tracker then holds what the document shows: after a hand-off, the
// progress as the program saved it.
int RunUnlock(AchievementTracker& tracker, const std::u16string& id);

#include "handoff/unlock_sender.h"

#include "platform/folder_program.h"

UnlockReply SendUnlock(platform::WindowRef window, std::u16string_view id) {
    const std::string request =
        EncodeUnlockRequest(id, platform::SystemMilliseconds() + REQUEST_LIFE_MS);
    std::intptr_t answer = 0;
    if (request.empty() ||
        !platform::SendDataToWindow(window, UNLOCK_REQUEST_TAG, request, ANSWER_WAIT_MS, &answer)) {
        return {};
    }
    return DecodeUnlockReply(answer);
}

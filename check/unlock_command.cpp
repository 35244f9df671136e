#include "check/unlock_command.h"

#include "app/unlock_request.h"
#include "check/console.h"
#include "check/exit_codes.h"
#include "check/progress_findings.h"
#include "platform/folder_program.h"
#include "progress/progress_file.h"
#include "progress/save_status.h"
#include "text/utf8.h"
#include "tracker/data_paths.h"

namespace {

// A program that is starting has its claim before its window: wait that long for the window.
constexpr std::uint64_t PROGRAM_WAIT_MS = 5000;
constexpr unsigned CLAIM_POLL_MS = 100;
// The program starts the unlock within REQUEST_LIFE_MS or not at all, and then has the rest
// of ANSWER_WAIT_MS to save and answer.
constexpr std::uint64_t REQUEST_LIFE_MS = 4000;
constexpr unsigned ANSWER_WAIT_MS = 6000;

constexpr std::string_view NO_ANSWER_LINE =
    "Laurelight runs for this folder but did not answer within a few seconds; nothing was "
    "changed / 此文件夹的 Laurelight 正在运行，但几秒内没有应答；未做任何更改\n";

// The program may have completed the achievement: never "nothing was changed" here.
constexpr std::string_view UNKNOWN_REPLY_LINE =
    "Laurelight runs for this folder and answered, but this tool cannot read the answer (is it "
    "another version?); the achievement may have been completed, see Laurelight's window / "
    "此文件夹的 Laurelight 正在运行并已应答，但本工具无法读取该应答（版本不同？）；"
    "该成就可能已完成，请查看 Laurelight 窗口\n";

int NoSuchPending(const std::u16string& id) {
    WriteStderr("no open achievement has the id " + Quoted(id) + "\n");
    return EXIT_NO_SUCH_PENDING_ID;
}

int NotSaved(const AchievementTracker& tracker, const SaveProblem& problem) {
    const std::u16string file = FailedFile(tracker.save_path, problem);
    WriteStderr(Utf16ToUtf8(SaveFailedConsoleLine(file, problem.reason)) + "\n");
    return EXIT_NOT_SAVED;
}

int NoAnswer() {
    WriteStderr(NO_ANSWER_LINE);
    return EXIT_NO_ANSWER;
}

int UnlockHere(AchievementTracker& tracker, const std::u16string& id) {
    if (CompleteFirstPending(tracker, id) == nullptr) return NoSuchPending(id);
    if (tracker.save_pending) return NotSaved(tracker, tracker.save_problem.load());
    return 0;
}

// The program holds the unlock in memory although its save failed; so does the document.
bool MarkCompleted(AchievementTracker& tracker, const std::u16string& id) {
    for (Achievement& achievement : tracker.achievements) {
        if (achievement.completed || achievement.id != id) continue;
        achievement.completed = true;
        tracker.completed_map[id] = true;
        return true;
    }
    return false;
}

// adv_save.txt could never read such an id back, so neither this tool nor the program writes
// anything for it: the unlock is refused before it is handed to anyone.
int Unsavable(AchievementTracker& tracker, const std::u16string& id) {
    if (!MarkCompleted(tracker, id)) return NoSuchPending(id);
    WriteStderr(UnsavableIdLine(tracker.save_path) + "\n");
    return EXIT_NOT_SAVED;
}

int HandOver(AchievementTracker& tracker, const std::u16string& id, void* window) {
    const std::string request =
        EncodeUnlockRequest(id, platform::SystemMilliseconds() + REQUEST_LIFE_MS);
    if (request.empty()) return NoSuchPending(id);  // no configured id is empty or that long
    std::intptr_t answer = 0;
    if (!platform::SendDataToWindow(window, UNLOCK_REQUEST_TAG, request, ANSWER_WAIT_MS, &answer)) {
        return NoAnswer();
    }
    const UnlockReply reply = DecodeUnlockReply(answer);
    switch (reply.answer) {
        case UnlockAnswer::Done:
            tracker.LoadProgress();
            return 0;
        case UnlockAnswer::NoSuchPending:
        case UnlockAnswer::Refused:
            tracker.LoadProgress();
            return NoSuchPending(id);
        case UnlockAnswer::NotSaved:
            tracker.LoadProgress();
            MarkCompleted(tracker, id);
            return NotSaved(tracker, reply.problem);
        default:
            WriteStderr(UNKNOWN_REPLY_LINE);
            return EXIT_UNKNOWN_REPLY;
    }
}

}  // namespace

int RunUnlock(AchievementTracker& tracker, const std::u16string& id) {
    if (!ProgressCanHold(id)) return Unsavable(tracker, id);
    const std::u16string folder = ExecutableDirectory(tracker.save_path);
    const std::uint64_t start = platform::SystemMilliseconds();
    for (unsigned wait = 0;; wait = CLAIM_POLL_MS) {
        if (void* claim = platform::TakeFolderClaim(folder, wait)) {
            const int status = UnlockHere(tracker, id);
            platform::ReleaseFolderClaim(claim);
            return status;
        }
        if (void* window = platform::FindFolderWindow(folder)) return HandOver(tracker, id, window);
        if (platform::SystemMilliseconds() - start >= PROGRAM_WAIT_MS) return NoAnswer();
    }
}

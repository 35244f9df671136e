#include "check/unlock_command.h"

#include "check/console.h"
#include "check/exit_codes.h"
#include "check/progress_findings.h"
#include "handoff/folder_claim.h"
#include "handoff/unlock_outcome.h"
#include "handoff/unlock_sender.h"
#include "model/data_paths.h"
#include "progress/progress_format.h"
#include "progress/save_status.h"
#include "text/utf8.h"

namespace {

// A program that is starting has its claim before its window: wait that long for the window.
constexpr std::uint64_t PROGRAM_WAIT_MS = 5000;

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

// The same report whether this tool or the running program made the unlock.
int Report(const AchievementTracker& tracker, const std::u16string& id, const UnlockReply& reply) {
    switch (reply.answer) {
        case UnlockAnswer::Done:
            return 0;
        case UnlockAnswer::NoSuchPending:
        case UnlockAnswer::Refused:
            return NoSuchPending(id);
        case UnlockAnswer::NotSaved:
            return NotSaved(tracker, reply.problem);
        default:
            WriteStderr(UNKNOWN_REPLY_LINE);
            return EXIT_UNKNOWN_REPLY;
    }
}

// adv_save.txt could never read such an id back, so neither this tool nor the program writes
// anything for it: the unlock is refused before it is handed to anyone. The document still
// shows it completed, as the program would hold it in memory.
int Unsavable(AchievementTracker& tracker, const std::u16string& id) {
    if (MarkFirstPending(tracker, id) == nullptr) return NoSuchPending(id);
    WriteStderr(UnsavableIdLine(tracker.save_path) + "\n");
    return EXIT_NOT_SAVED;
}

// Afterwards the tracker holds the progress as the program saved it; and an unlock the program
// could not save, as the program holds it in memory.
int HandOver(AchievementTracker& tracker, const std::u16string& id, platform::WindowRef window) {
    if (!UnlockIdCanTravel(id)) return NoSuchPending(id);  // no configured id is empty or that long
    const UnlockReply reply = SendUnlock(window, id);
    if (reply.answer == UnlockAnswer::None || reply.answer == UnlockAnswer::Late) return NoAnswer();
    tracker.LoadProgress();
    if (reply.answer == UnlockAnswer::NotSaved) MarkFirstPending(tracker, id);
    return Report(tracker, id, reply);
}

}  // namespace

int RunUnlock(AchievementTracker& tracker, const std::u16string& id) {
    if (!ProgressCanHold(id)) return Unsavable(tracker, id);
    FolderWriter writer =
        ClaimOrFindWriter(ExecutableDirectory(tracker.save_path), PROGRAM_WAIT_MS);
    if (writer.claim) {
        const Achievement* completed = CompleteFirstPending(tracker, id);
        return Report(tracker, id, UnlockOutcome(tracker, completed));
    }
    if (writer.window) return HandOver(tracker, id, writer.window);
    return NoAnswer();
}

#pragma once
// The unlock that laurelight-check hands to the program running for its folder, so that the
// folder's progress keeps one writer. It travels as WM_COPYDATA to the main window: dwData is
// UNLOCK_REQUEST_TAG, the bytes are the sender's deadline (8 bytes, little-endian, on the
// system's millisecond clock) and then the id in UTF-16LE. The message's result is the reply.
//
// Any process of the session can send it, so the program takes the bytes as untrusted: a
// request that is malformed, too long or past its deadline changes nothing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/save_problem.h"

inline constexpr std::uintptr_t UNLOCK_REQUEST_TAG = 0x4C4C554E;  // "LLUN"
// The longest id a Windows command line can carry.
inline constexpr std::size_t MAX_UNLOCK_ID_UNITS = 32767;
// A deadline further ahead than this is refused: no sender waits that long.
inline constexpr std::uint64_t MAX_UNLOCK_WAIT_MS = 60000;
// The program starts the unlock within REQUEST_LIFE_MS or not at all, and then has the rest of
// ANSWER_WAIT_MS to save and answer.
inline constexpr std::uint64_t REQUEST_LIFE_MS = 4000;
inline constexpr unsigned ANSWER_WAIT_MS = 6000;

// 0 is what a window that does not know the request answers.
enum class UnlockAnswer : unsigned char {
    None = 0,
    Done = 1,
    NoSuchPending = 2,  // no pending achievement has the id
    NotSaved = 3,       // completed, but the progress file could not be written
    Refused = 4,        // malformed: empty, too long, odd byte count, not UTF-16
    Late = 5,           // the deadline passed before the unlock could start
};

struct UnlockReply {
    UnlockAnswer answer = UnlockAnswer::None;
    SaveProblem problem;  // why, for NotSaved
};

std::intptr_t EncodeUnlockReply(const UnlockReply& reply);
// An unknown answer or reason reads as None.
UnlockReply DecodeUnlockReply(std::intptr_t value);

// False for an empty id or one longer than MAX_UNLOCK_ID_UNITS.
bool UnlockIdCanTravel(std::u16string_view id);

// Empty when the id cannot travel.
std::string EncodeUnlockRequest(std::u16string_view id, std::uint64_t deadline_ms);

struct UnlockRequest {
    UnlockAnswer refusal = UnlockAnswer::None;  // Refused or Late; None when the id is usable
    std::u16string id;
    std::uint64_t deadline_ms = 0;  // the unlock must start before this
};
UnlockRequest ReadUnlockRequest(std::string_view bytes, std::uint64_t now_ms);

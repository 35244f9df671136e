#include "handoff/unlock_request.h"

#include "text/utf8.h"

namespace {

constexpr std::size_t DEADLINE_BYTES = 8;

std::uint64_t ReadDeadline(std::string_view bytes) {
    std::uint64_t deadline = 0;
    for (std::size_t i = DEADLINE_BYTES; i-- > 0;) {
        deadline = (deadline << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return deadline;
}

std::u16string ReadId(std::string_view bytes) {
    std::u16string id(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < id.size(); ++i) {
        id[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                      static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return id;
}

}  // namespace

std::intptr_t EncodeUnlockReply(const UnlockReply& reply) {
    return static_cast<std::intptr_t>(reply.answer) |
           static_cast<std::intptr_t>(reply.problem.reason) << 8 |
           static_cast<std::intptr_t>(reply.problem.at_temporary) << 16;
}

UnlockReply DecodeUnlockReply(std::intptr_t value) {
    const auto answer = static_cast<unsigned>(value & 0xFF);
    const auto reason = static_cast<unsigned>((value >> 8) & 0xFF);
    if (value < 0 || value >> 17 != 0 || answer > static_cast<unsigned>(UnlockAnswer::Late) ||
        reason > static_cast<unsigned>(platform::LAST_FILE_ERROR)) {
        return {};
    }
    return {static_cast<UnlockAnswer>(answer),
            {static_cast<platform::FileError>(reason), ((value >> 16) & 1) != 0}};
}

bool UnlockIdCanTravel(std::u16string_view id) {
    return !id.empty() && id.size() <= MAX_UNLOCK_ID_UNITS;
}

std::string EncodeUnlockRequest(std::u16string_view id, std::uint64_t deadline_ms) {
    if (!UnlockIdCanTravel(id)) return {};
    std::string bytes;
    bytes.reserve(DEADLINE_BYTES + 2 * id.size());
    for (std::size_t i = 0; i < DEADLINE_BYTES; ++i) {
        bytes.push_back(static_cast<char>((deadline_ms >> (8 * i)) & 0xFF));
    }
    for (const char16_t unit : id) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

// The size is checked before anything is copied, so a huge message costs nothing.
UnlockRequest ReadUnlockRequest(std::string_view bytes, std::uint64_t now_ms) {
    UnlockRequest request;
    request.refusal = UnlockAnswer::Refused;
    if (bytes.size() <= DEADLINE_BYTES || (bytes.size() - DEADLINE_BYTES) % 2 != 0 ||
        bytes.size() - DEADLINE_BYTES > 2 * MAX_UNLOCK_ID_UNITS) {
        return request;
    }
    const std::uint64_t deadline = ReadDeadline(bytes);
    if (deadline > now_ms && deadline - now_ms > MAX_UNLOCK_WAIT_MS) return request;
    std::u16string id = ReadId(bytes.substr(DEADLINE_BYTES));
    if (!IsWellFormedUtf16(id)) return request;
    if (now_ms >= deadline) {
        request.refusal = UnlockAnswer::Late;
        return request;
    }
    request.refusal = UnlockAnswer::None;
    request.id = std::move(id);
    request.deadline_ms = deadline;
    return request;
}

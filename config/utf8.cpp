#include "config/utf8.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Valid range of the second byte for a given lead byte (Unicode table 3-7).
bool SecondByteValid(unsigned char lead, unsigned char second) {
    if (lead == 0xE0) return second >= 0xA0 && second <= 0xBF;
    if (lead == 0xED) return second >= 0x80 && second <= 0x9F;
    if (lead == 0xF0) return second >= 0x90 && second <= 0xBF;
    if (lead == 0xF4) return second >= 0x80 && second <= 0x8F;
    return IsContinuation(second);
}

int SequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        const int length = SequenceLength(lead);
        if (length == 0) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        char32_t code_point = lead & (0x7F >> length);
        int taken = 1;
        for (; taken < length && i + taken < bytes.size(); ++taken) {
            const auto next = static_cast<unsigned char>(bytes[i + taken]);
            const bool valid = taken == 1 ? SecondByteValid(lead, next) : IsContinuation(next);
            if (!valid) break;
            code_point = (code_point << 6) | (next & 0x3F);
        }
        if (taken == length) {
            AppendUtf16(out, code_point);
        } else {
            out.push_back(kReplacement);
        }
        i += taken;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t code_point = text[i];
        const bool high = code_point >= 0xD800 && code_point <= 0xDBFF;
        const bool low = code_point >= 0xDC00 && code_point <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            code_point = 0x10000 + ((code_point - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (high || low) {
            code_point = kReplacement;
        }
        AppendUtf8(out, code_point);
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t code_point) {
    if (code_point < 0x80) {
        out.push_back(static_cast<char>(code_point));
    } else if (code_point < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code_point >> 6)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else if (code_point < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code_point >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code_point >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    }
}

void AppendUtf16(std::u16string& out, char32_t code_point) {
    if (code_point < 0x10000) {
        out.push_back(static_cast<char16_t>(code_point));
        return;
    }
    code_point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
}

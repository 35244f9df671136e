#include "progress/wtf8.h"

#include "config/utf8.h"

namespace {

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

int SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The shortest value each sequence length may carry; anything smaller is an overlong form.
constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};

}  // namespace

std::string EncodeWtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t code_point = text[i];
        if (IsHighSurrogate(code_point) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            code_point = 0x10000 + ((code_point - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, code_point);
    }
    return out;
}

std::optional<std::u16string> DecodeWtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int length = SequenceLength(lead);
        if (length == 0 || i + length > bytes.size()) return std::nullopt;
        char32_t code_point = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            code_point = (code_point << 6) | (next & 0x3F);
        }
        if (code_point < kSmallest[length] || code_point > 0x10FFFF) return std::nullopt;
        AppendUtf16(out, code_point);
        i += length;
    }
    return out;
}

#include "text/utf8.h"

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

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

// Valid range of the second byte for a given lead byte (Unicode table 3-7): it rules out
// overlong forms and values above U+10FFFF, and, unless they are wanted, surrogates.
bool SecondByteValid(unsigned char lead, unsigned char second, bool surrogates) {
    if (lead == 0xE0) return second >= 0xA0 && second <= 0xBF;
    if (lead == 0xED && !surrogates) return second >= 0x80 && second <= 0x9F;
    if (lead == 0xF0) return second >= 0x90 && second <= 0xBF;
    if (lead == 0xF4) return second >= 0x80 && second <= 0x8F;
    return IsContinuation(second);
}

struct CodePoint {
    char32_t value = 0;
    std::size_t length = 1;  // units read; for an ill-formed sequence its maximal subpart
    bool valid = false;
};

// The one UTF-8 reader: the sequence that starts at bytes[at].
CodePoint ReadUtf8(std::string_view bytes, std::size_t at, bool surrogates) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const int length = SequenceLength(lead);
    if (length <= 1) return {lead, 1, length == 1};
    CodePoint read{static_cast<char32_t>(lead & (0x7F >> length)), 1, false};
    for (; read.length < static_cast<std::size_t>(length) && at + read.length < bytes.size();
         ++read.length) {
        const auto next = static_cast<unsigned char>(bytes[at + read.length]);
        const bool valid =
            read.length == 1 ? SecondByteValid(lead, next, surrogates) : IsContinuation(next);
        if (!valid) return read;
        read.value = (read.value << 6) | (next & 0x3F);
    }
    read.valid = read.length == static_cast<std::size_t>(length);
    return read;
}

// The one UTF-16 reader: a surrogate pair is joined; a lone surrogate comes as it is.
CodePoint ReadUtf16(std::u16string_view text, std::size_t at) {
    const char32_t unit = text[at];
    const bool high = IsHighSurrogate(unit);
    if (high && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) {
        return {0x10000 + ((unit - 0xD800) << 10) + (text[at + 1] - 0xDC00), 2, true};
    }
    return {unit, 1, !high && !IsLowSurrogate(unit)};
}

}  // namespace

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

namespace {

void AppendUtf16(std::u16string& out, char32_t code_point) {
    if (code_point < 0x10000) {
        out.push_back(static_cast<char16_t>(code_point));
        return;
    }
    code_point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
}

std::string EncodeUtf8(std::u16string_view text, bool keep_lone_surrogates) {
    std::string out;
    out.reserve(keep_lone_surrogates ? text.size() * 3 : text.size());
    for (std::size_t i = 0; i < text.size();) {
        const CodePoint read = ReadUtf16(text, i);
        AppendUtf8(out, read.valid || keep_lone_surrogates ? read.value : REPLACEMENT);
        i += read.length;
    }
    return out;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const CodePoint read = ReadUtf8(bytes, i, false);
        AppendUtf16(out, read.valid ? read.value : REPLACEMENT);
        i += read.length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    return EncodeUtf8(text, false);
}

std::string EncodeWtf8(std::u16string_view text) {
    return EncodeUtf8(text, true);
}

std::optional<std::u16string> DecodeWtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const CodePoint read = ReadUtf8(bytes, i, true);
        if (!read.valid) return std::nullopt;
        AppendUtf16(out, read.value);
        i += read.length;
    }
    return out;
}

bool IsWellFormedUtf16(std::u16string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const CodePoint read = ReadUtf16(text, at);
        if (!read.valid) return false;
        at += read.length;
    }
    return true;
}

std::string Quoted(std::u16string_view text) {
    std::string quoted = "\"";  // appended, not prefixed: GCC 12 warns on "..." + string
    quoted += Utf16ToUtf8(text);
    quoted += '"';
    return quoted;
}

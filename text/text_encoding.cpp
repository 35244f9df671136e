#include "text/text_encoding.h"

#include "text/utf8.h"

namespace {

bool StartsWith(std::string_view bytes, unsigned char first, unsigned char second) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == first &&
           static_cast<unsigned char>(bytes[1]) == second;
}

}  // namespace

DetectedEncoding DetectEncoding(std::string_view bytes) {
    if (StartsWith(bytes, 0xFF, 0xFE)) return {TextEncoding::Utf16Le, true};
    if (StartsWith(bytes, 0xFE, 0xFF)) return {TextEncoding::Utf16Be, true};
    if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0') {
        return {TextEncoding::Utf16Le, false};
    }
    if (bytes.size() >= 2 && bytes[0] == '\0' && bytes[1] != '\0') {
        return {TextEncoding::Utf16Be, false};
    }
    return {TextEncoding::Utf8, bytes.starts_with(UTF8_BYTE_ORDER_MARK)};
}

std::string TextAsUtf8(std::string_view bytes) {
    const DetectedEncoding detected = DetectEncoding(bytes);
    if (detected.encoding == TextEncoding::Utf8) {
        return std::string(detected.byte_order_mark ? bytes.substr(UTF8_BYTE_ORDER_MARK.size())
                                                    : bytes);
    }
    if (detected.byte_order_mark) bytes.remove_prefix(2);
    const bool little = detected.encoding == TextEncoding::Utf16Le;
    std::u16string units;
    units.reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[little ? i : i + 1]);
        const auto high = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
        units.push_back(static_cast<char16_t>(high << 8 | low));
    }
    if (bytes.size() % 2 != 0) units.push_back(u'\xFFFD');
    return Utf16ToUtf8(units);
}

std::size_t FirstLineNotUtf8(std::string_view bytes) {
    std::size_t number = 1;
    for (std::size_t begin = 0; begin < bytes.size(); ++number) {
        std::size_t end = bytes.find('\n', begin);
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view line = bytes.substr(begin, end - begin);
        // Well-formed UTF-8, and only that, comes back unchanged from the round trip.
        if (Utf16ToUtf8(Utf8ToUtf16(line)) != line) return number;
        begin = end + 1;
    }
    return 0;
}

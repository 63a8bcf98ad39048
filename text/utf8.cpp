#include "text/utf8.h"

std::size_t DecodeUtf8(std::string_view text, char32_t& codePoint)
{
    if (text.empty()) return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length;
    char32_t smallest;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, smallest = 0x80, codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, smallest = 0x800, codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, smallest = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
    return length;
}

TextBytes CheckUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    // Most lines are ASCII without NUL: one pass the compiler can widen says so.
    unsigned char unusual = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        unusual |= static_cast<unsigned char>((p[i] == 0) | (p[i] >> 7));
    if (unusual == 0) return TextBytes::Utf8;
    while (!text.empty()) {
        if (text[0] == '\0') return TextBytes::HoldsNul;
        char32_t codePoint;
        const std::size_t length = DecodeUtf8(text, codePoint);
        if (length == 0) return TextBytes::NotUtf8;
        text.remove_prefix(length);
    }
    return TextBytes::Utf8;
}

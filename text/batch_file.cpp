#include "text/batch_file.h"

#include <algorithm>
#include <cstring>

bool IsBlankRecordLine(std::string_view line)
{
    for (char c : line)
        if (!IsFieldBlank(c)) return false;
    return true;
}

std::size_t CountLineEnds(std::string_view bytes)
{
    // memchr is the library's widest search; lines are short, so it is called often.
    std::size_t count = 0;
    const char* const end = bytes.data() + bytes.size();
    for (const char* p = bytes.data(); p != end; ++p, ++count) {
        p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (p == nullptr) break;
    }
    if (bytes.find('\r') == std::string_view::npos) return count;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) ++count;
    return count;
}

std::size_t TextLength(std::string_view bytes)
{
    if (bytes.empty()) return 0;
    const void* ctrlZ = std::memchr(bytes.data(), kEndOfText, bytes.size());
    return ctrlZ ? static_cast<std::size_t>(static_cast<const char*>(ctrlZ) - bytes.data()) : bytes.size();
}

std::size_t Utf8ByteOrderMarkLength(std::string_view bytes)
{
    return bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
}

bool StartsWithUtf16ByteOrderMark(std::string_view bytes)
{
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendHexByte(std::string& out, unsigned value)
{
    out += "\\x";
    out += kHex[(value >> 4) & 15];
    out += kHex[value & 15];
}

void AppendHexBytes(std::string& out, std::string_view raw)
{
    for (char byte : raw) AppendHexByte(out, static_cast<unsigned char>(byte));
}

// Characters that would show as nothing or act on a terminal: C0 and C1 controls, DEL,
// and the invisible byte-order mark.
bool IsHidden(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFEFF; }

// The bidirectional embeddings, overrides and isolates: shown raw they reorder the rest
// of the terminal line, so that a message would read other than its bytes.
bool IsBidiControl(char32_t c) { return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069); }

void AppendCodePointName(std::string& out, char32_t c)
{
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 15];
}

// The byte order of UTF-16 text at the start of `text`: by its mark, or by the NUL byte
// beside each ASCII character (the first few characters all of that form). 0 when it is
// not UTF-16, 1 for little-endian, 2 for big-endian; `markLength` is 2 after a mark.
int Utf16Order(std::string_view text, std::size_t& markLength)
{
    markLength = 0;
    if (text.starts_with("\xFF\xFE")) return markLength = 2, 1;
    if (text.starts_with("\xFE\xFF")) return markLength = 2, 2;
    const std::size_t units = std::min<std::size_t>(text.size() / 2, 4);
    if (units == 0) return 0;
    const auto ascii = [](char c) { return c != '\0' && static_cast<unsigned char>(c) < 0x80; };
    bool little = true, big = true;
    for (std::size_t i = 0; i < units; ++i) {
        little = little && ascii(text[2 * i]) && text[2 * i + 1] == '\0';
        big = big && text[2 * i] == '\0' && ascii(text[2 * i + 1]);
    }
    return little ? 1 : big ? 2 : 0;
}

void AppendCodePoint(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// One decoded character of the excerpt, escaped as the excerpt rule says.
void AppendReadable(std::string& out, char32_t c)
{
    if (c == '\\')
        out += "\\\\";
    else if (c == '\t')
        out += "\\t";
    else if (c < 0x100 && IsHidden(c))
        AppendHexByte(out, static_cast<unsigned>(c));
    else if (c == 0xFEFF || IsBidiControl(c))
        AppendCodePointName(out, c);
    else
        AppendCodePoint(out, c);
}

std::string Utf16Excerpt(std::string_view text, bool little)
{
    std::string excerpt;
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(text[i]);
        const auto b = static_cast<unsigned char>(text[i + 1]);
        return static_cast<char32_t>(little ? a | b << 8 : a << 8 | b);
    };
    std::size_t i = 0;
    for (std::size_t characters = 0; i + 1 < text.size() && characters < kReadableExcerptCharacters; ++characters) {
        char32_t c = unit(i);
        i += 2;
        if (c == '\r' || c == '\n') return excerpt;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && unit(i) >= 0xDC00 && unit(i) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i) - 0xDC00);
            i += 2;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            // A surrogate without its partner: not a character.
            AppendHexBytes(excerpt, text.substr(i - 2, 2));
        } else {
            AppendReadable(excerpt, c);
        }
    }
    // An odd last byte, when the excerpt has room for it; a CR or LF there is the first
    // half of a little-endian line end whose NUL lies beyond the bytes given (a line cut
    // at its end byte), so the excerpt ends there.
    if (i < text.size() && i + 1 == text.size() && excerpt.size() < 4 * kReadableExcerptCharacters &&
        !(little && IsLineEnd(text[i])))
        AppendHexBytes(excerpt, text.substr(i));
    return excerpt;
}

// Whether every byte from here to the line end is UTF-8.
bool LineIsUtf8(std::string_view rest)
{
    const LineSpan line = FindLineEnd(rest.data(), rest.data() + rest.size());
    return CheckUtf8(std::string_view(rest.data(), static_cast<std::size_t>(line.end - rest.data()))) !=
           TextBytes::NotUtf8;
}

}  // namespace

std::string ReadableExcerpt(std::string_view bytes, std::size_t offset)
{
    const std::size_t end = TextLength(bytes);
    std::string_view rest = offset < end ? bytes.substr(offset, end - offset) : std::string_view();
    std::size_t markLength = 0;
    // UTF-16 is looked for and decoded up to the first CR or LF byte (its line end's
    // unit, or a byte of one), so that the excerpt never depends on bytes after the line
    // as the readers cut lines, which a reader may not have yet.
    const std::size_t byteLineEnd = rest.find_first_of("\r\n");
    const std::string_view line16 = byteLineEnd == std::string_view::npos ? rest : rest.substr(0, byteLineEnd + 1);
    if (const int order = Utf16Order(line16, markLength)) {
        // A mark with no text after it on its line is shown as its bytes below.
        std::string excerpt = Utf16Excerpt(line16.substr(markLength), order == 1);
        if (!excerpt.empty()) return excerpt;
    }
    const bool utf8 = LineIsUtf8(rest);
    std::string excerpt;
    for (std::size_t characters = 0; !rest.empty() && characters < kReadableExcerptCharacters; ++characters) {
        if (IsLineEnd(rest[0])) break;
        const auto lead = static_cast<unsigned char>(rest[0]);
        char32_t codePoint;
        std::size_t length = utf8 ? DecodeUtf8(rest, codePoint) : 0;
        if (length != 0 && !(codePoint >= 0x80 && IsHidden(codePoint))) {
            AppendReadable(excerpt, codePoint);
        } else if (length != 0) {
            AppendHexBytes(excerpt, rest.substr(0, length));  // a C1 control or a byte-order mark
        } else if (lead < 0x80) {
            length = 1;
            AppendReadable(excerpt, lead);
        } else {
            // A double-byte character of another encoding: its lead byte and the trail byte
            // after it, which may be ASCII, shown together.
            const bool trail = lead >= 0x81 && lead <= 0xFE && rest.size() > 1 &&
                               static_cast<unsigned char>(rest[1]) >= 0x40 && !IsLineEnd(rest[1]);
            length = trail ? 2 : 1;
            AppendHexBytes(excerpt, rest.substr(0, length));
        }
        rest.remove_prefix(length);
    }
    return excerpt;
}

std::string TerminalSafeText(std::string_view text)
{
    std::string out;
    while (!text.empty()) {
        char32_t c;
        std::size_t length = DecodeUtf8(text, c);
        if (length == 0) {
            length = 1;
            AppendHexByte(out, static_cast<unsigned char>(text[0]));
        } else if (IsHidden(c)) {
            if (c < 0x100)
                AppendHexBytes(out, text.substr(0, length));
            else
                AppendCodePointName(out, c);
        } else if (IsBidiControl(c)) {
            AppendCodePointName(out, c);
        } else {
            out += text.substr(0, length);
        }
        text.remove_prefix(length);
    }
    return out;
}

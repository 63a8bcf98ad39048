#pragma once
// UTF-8 as every text rule of the program checks it. Standard library only; thread-safe.
#include <cstddef>
#include <string_view>

// The length (1 to 4) of the well-formed UTF-8 character at the start of `text` and its
// code point, or 0 when the bytes there are not UTF-8: an empty text, a stray
// continuation byte, a sequence cut short, an overlong form, a surrogate or a value
// beyond U+10FFFF. Big5 and the other double-byte encodings nearly always fail here,
// because their trail bytes are ASCII or their lead bytes are continuation bytes in UTF-8.
std::size_t DecodeUtf8(std::string_view text, char32_t& codePoint);

// What a text's bytes are: UTF-8 (ASCII included, no NUL), UTF-8 with a NUL byte (which
// a UTF-16 file read as bytes holds in nearly every character), or not UTF-8.
enum class TextBytes { Utf8, HoldsNul, NotUtf8 };
TextBytes CheckUtf8(std::string_view text);

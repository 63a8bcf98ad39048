#pragma once
// The converter's own messages, in English or Traditional Chinese by the user's
// language: LC_ALL, LC_MESSAGES, then LANG, as POSIX orders them, and LANGUAGE first
// when it is set; zh_TW, zh_HK, zh_MO and any "Hant" name choose Chinese. Only the
// environment is read, never the C locale, so the numbers stay "." whatever it is.
#include <cstddef>
#include <string>

bool ChineseMessages();
// The English or the Chinese text, by ChineseMessages().
const char* Localized(const char* english, const char* chinese);

// Texts with a place for numbers or names; FILE:LINE: is put before them by the caller.
std::string LineCountMessage(std::size_t count, bool onePerLine);
std::string FieldNotANumberMessage(std::size_t field, const std::string& excerpt);
// A chosen field written with a decimal comma, read without --decimal-comma; and one
// with a decimal point, read with it.
std::string DecimalCommaFieldMessage(std::size_t field, const std::string& excerpt);
std::string DecimalPointFieldMessage(std::size_t field, const std::string& excerpt);
// --decimal-comma on a file whose fields only commas can separate.
std::string CommaSeparatedDecimalCommaMessage();
std::string FieldMissingMessage(std::size_t field, std::size_t fieldCount);
std::string QuoteMessage(std::size_t field);
std::string NotUtf8Message();
std::string Utf16Message();
std::string SizeChangedMessage(unsigned long long before, unsigned long long after);
// latitudeFirst: every point outside is degrees inside Taiwan with x and y swapped.
std::string AreaWarning(unsigned long long count, const std::string& firstPlace, bool toGeographic,
                        bool latitudeFirst = false);
std::string ColumnNotFoundMessage(const std::string& name);
const char* OutOfMemoryMessage();
std::string WriteFailedMessage(const std::string& reason);

// Printable text for a message: at most 20 bytes of `text`, bytes outside printable
// ASCII written \xHH, except that whole UTF-8 characters are kept as they are.
std::string Excerpt(const char* first, const char* last);

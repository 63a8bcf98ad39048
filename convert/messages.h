#pragma once
// The converter's own messages, in English or Traditional Chinese by the user's
// language: LC_ALL, LC_MESSAGES, then LANG, as POSIX orders them, and LANGUAGE first
// when it is set; zh_TW, zh_HK, zh_MO and any "Hant" name choose Chinese. Only the
// environment is read, never the C locale, so the numbers stay "." whatever it is.
#include <cstddef>
#include <string>
#include <string_view>

bool ChineseMessages();
// The English or the Chinese text, by ChineseMessages().
const char* Localized(const char* english, const char* chinese);

// Command-line problems; the caller puts "kartovel-convert: " before them and the usage
// and TryHelpMessage() after them.
std::string UnknownOptionMessage(const std::string& argument);
std::string NeedsValueMessage(const std::string& option);
std::string TakesNoValueMessage(const std::string& option);
std::string UnknownEllipsoidMessage(const std::string& name);
std::string NotAJobCountMessage(const std::string& text, unsigned maximum);
std::string NotTwoColumnsMessage(const std::string& text);
std::string NotAFieldNumberMessage(const std::string& column);
std::string SameColumnsMessage(const std::string& first, const std::string& second);
// --columns gave a name and a number that the header shows to be one field.
std::string SameFieldInHeaderMessage(const std::string& first, const std::string& second, std::size_t field);
std::string UnknownDelimiterMessage(const std::string& name);
std::string PairsAcrossLinesWithRecordsMessage();
std::string DecimalCommaWithCommaDelimiterMessage();
// The last line after a command-line problem, with its line end.
std::string TryHelpMessage();

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
// A NUL byte in text that is not UTF-16; `field` (from 1) in a record, 0 on a line of pairs.
std::string NulByteMessage(std::size_t field);
std::string LineTooLongMessage(std::size_t limit);
std::string SizeChangedMessage(unsigned long long before, unsigned long long after);
// latitudeFirst: every point outside is degrees inside Taiwan with x and y swapped.
std::string AreaWarning(unsigned long long count, const std::string& firstPlace, bool toGeographic,
                        bool latitudeFirst = false);
std::string ColumnNotFoundMessage(const std::string& name);
const char* OutOfMemoryMessage();
std::string WriteFailedMessage(const std::string& reason);

// The pair stream's stop for a pair that begins at `place` in `bytes` where no number
// could be read at `unreadable` (the end of the bytes for a lone last number): the batch
// page's excerpt there and, for the causes that another way of reading fixes (a CSV file,
// a header, quotes, UTF-16), the cause and the options that read such a file.
// `startOfFile`: the bytes are the file's first (a UTF-16 mark there tells the encoding).
std::string CannotReadPairMessage(std::string_view bytes, std::size_t place, std::size_t unreadable, bool startOfFile);

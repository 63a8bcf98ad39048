#pragma once
// The converter's own messages, in English or Traditional Chinese by the user's
// language: LC_ALL, LC_MESSAGES, then LANG, as POSIX orders them, and LANGUAGE first
// when it is set; zh_TW, zh_HK, zh_MO and any "Hant" name choose Chinese. Only the
// environment is read, never the C locale, so the numbers stay "." whatever it is.
#include <cstddef>
#include <string>

#include "text/load_report.h"  // LoadStopCause

bool ChineseMessages();
// The English or the Chinese text, by ChineseMessages().
const char* Localized(const char* english, const char* chinese);

// Texts with a place for numbers or names; FILE:LINE: is put before them by the caller.
std::string LineCountMessage(std::size_t count, bool onePerLine);
std::string FieldNotANumberMessage(std::size_t field, const std::string& excerpt);
std::string FieldMissingMessage(std::size_t field, std::size_t fieldCount);
std::string QuoteMessage(std::size_t field);
std::string NotUtf8Message();
std::string Utf16Message();
std::string SizeChangedMessage(unsigned long long before, unsigned long long after);
std::string AreaWarning(unsigned long long count, const std::string& firstPlace, bool toGeographic);
std::string ColumnNotFoundMessage(const std::string& name);
const char* OutOfMemoryMessage();
std::string WriteFailedMessage(const std::string& reason);

// The pair stream's stop: the excerpt where the pair begins, and, for the causes that
// another way of reading fixes (a CSV file, a header, quotes, UTF-16), what the cause is
// and the options that read such a file.
std::string CannotReadPairMessage(const std::string& excerpt, LoadStopCause cause);

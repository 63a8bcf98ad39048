#include "messages.h"

#include <cstdlib>
#include <string_view>

static bool ChineseName(std::string_view name)
{
    return name.starts_with("zh_TW") || name.starts_with("zh_HK") || name.starts_with("zh_MO") ||
           name.find("Hant") != std::string_view::npos;
}

static bool DecideChinese()
{
    // LANGUAGE is a list, and GNU programs honour it only beside a locale other than C.
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    const char* locale = nullptr;
    for (const char* name : names)
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0') {
            locale = value;
            break;
        }
    if (locale == nullptr)
        return false;
    if (const char* language = std::getenv("LANGUAGE");
        language != nullptr && *language != '\0' && std::string_view(locale) != "C" &&
        std::string_view(locale) != "POSIX")
        return ChineseName(language);
    return ChineseName(locale);
}

bool ChineseMessages()
{
    static const bool chinese = DecideChinese();
    return chinese;
}

const char* Localized(const char* english, const char* chinese)
{
    return ChineseMessages() ? chinese : english;
}

std::string LineCountMessage(std::size_t count, bool onePerLine)
{
    const std::string n = std::to_string(count);
    if (onePerLine)
        return ChineseMessages()
                   ? "這一行有 " + n + " 個數字，但本檔前面每行只有一個數字；請每行寫一個數字，或每行寫一對「x y」"
                   : n + " numbers on the line, where this file has one number a line; write one number a line, "
                         "or one pair \"x y\" a line";
    return ChineseMessages()
               ? "這一行有 " + n + " 個數字，應為一對「x y」；多欄的檔案請用 --columns，跨行配對請用 --pairs-across-lines"
               : n + " numbers on the line, where one pair \"x y\" is expected; use --columns for a file with "
                     "more fields, --pairs-across-lines to pair numbers across lines";
}

std::string FieldNotANumberMessage(std::size_t field, const std::string& excerpt)
{
    const std::string n = std::to_string(field);
    return ChineseMessages() ? "第 " + n + " 欄：「" + excerpt + "」不是數字；請檢查 --columns 選的欄位"
                             : "field " + n + ": \"" + excerpt + "\" is not a number; check the fields --columns picks";
}

std::string DecimalCommaFieldMessage(std::size_t field, const std::string& excerpt)
{
    const std::string n = std::to_string(field);
    return ChineseMessages()
               ? "第 " + n + " 欄：「" + excerpt + "」是以逗號為小數點的數字；請加上 --decimal-comma"
                     "（欄位須以 ; 或 tab 分隔）"
               : "field " + n + ": \"" + excerpt + "\" is a number with a decimal comma; give --decimal-comma "
                     "(the fields must then be separated by ';' or tab)";
}

std::string DecimalPointFieldMessage(std::size_t field, const std::string& excerpt)
{
    const std::string n = std::to_string(field);
    return ChineseMessages()
               ? "第 " + n + " 欄：「" + excerpt + "」有小數點「.」，但 --decimal-comma 以逗號為小數點；"
                     "這個檔案請不要用 --decimal-comma"
               : "field " + n + ": \"" + excerpt + "\" has a decimal point, where --decimal-comma reads a comma; "
                     "convert this file without --decimal-comma";
}

std::string CommaSeparatedDecimalCommaMessage()
{
    return Localized("the fields are separated by commas, which --decimal-comma reads as decimal marks; save the "
                     "file with ';' or tab between the fields",
                     "欄位以逗號分隔，但 --decimal-comma 把逗號當小數點；請把檔案存成以 ';' 或 tab 分隔欄位");
}

std::string FieldMissingMessage(std::size_t field, std::size_t fieldCount)
{
    const std::string n = std::to_string(field);
    const std::string k = std::to_string(fieldCount);
    return ChineseMessages() ? "第 " + n + " 欄：這一行只有 " + k + " 欄；請檢查 --columns 與 --delimiter"
                             : "field " + n + ": missing, the line has " + k +
                                   " fields; check --columns and --delimiter";
}

std::string QuoteMessage(std::size_t field)
{
    const std::string n = std::to_string(field);
    return ChineseMessages() ? "第 " + n + " 欄：引號沒有在本行結束，或引號後還有文字；請修正這一欄的引號"
                             : "field " + n + ": a quote is not closed on the line, or text follows it; "
                                   "correct the quotes of this field";
}

std::string NotUtf8Message()
{
    return Localized("the text is not UTF-8; save the file as UTF-8 (in a spreadsheet: Save As, \"CSV UTF-8\") "
                     "and convert it again",
                     "文字不是 UTF-8；請把檔案另存為 UTF-8（試算表：另存新檔，「CSV UTF-8」）後再轉換");
}

std::string Utf16Message()
{
    return Localized("the file is UTF-16 text; save it as UTF-8 (in a spreadsheet: Save As, \"CSV UTF-8\") "
                     "and convert it again",
                     "檔案是 UTF-16 文字；請另存為 UTF-8（試算表：另存新檔，「CSV UTF-8」）後再轉換");
}

std::string SizeChangedMessage(unsigned long long before, unsigned long long after)
{
    const std::string a = std::to_string(before);
    const std::string b = std::to_string(after);
    return ChineseMessages()
               ? "讀取時檔案大小改變了（" + a + " 位元組變成 " + b + " 位元組），輸出可能不完整；請在檔案寫完後再轉換"
               : "the file changed size while it was read (" + a + " bytes, then " + b +
                     "); the output may be incomplete; convert it again once nothing writes to it";
}

std::string AreaWarning(unsigned long long count, const std::string& firstPlace, bool toGeographic,
                        bool latitudeFirst)
{
    const std::string n = std::to_string(count);
    // Latitude first is how map services copy a point: the hint that mends it.
    const std::string swapTo = toGeographic ? " --to-tm2" : "";
    if (ChineseMessages())
        return "kartovel-convert: 警告：" + n + " 個點在台灣範圍外，第一個在 " + firstPlace + "；" +
               (latitudeFirst ? "x、y 看來對調了：緯度在前、經度在後（Google 地圖複製坐標的順序）；請讓經度在前，"
                                "例如用" + swapTo + " --columns 2,1"
                : toGeographic ? "這些是經緯度嗎？那請用 --to-tm2" : "這些是 TM2 座標嗎？那請用 --to-geographic") +
               "\n";
    const std::string swapped = "x and y look swapped: latitude before longitude, the order in which Google Maps "
                                "copies a point; put the longitude first, for example with" + swapTo + " --columns 2,1";
    if (count == 1)
        return "kartovel-convert: warning: 1 point lies outside Taiwan's area, at " + firstPlace + "; " +
               (latitudeFirst ? swapped
                : toGeographic ? "is it longitude and latitude? Then use --to-tm2"
                               : "is it a TM2 easting and northing? Then use --to-geographic") +
               "\n";
    return "kartovel-convert: warning: " + n + " points lie outside Taiwan's area, the first at " + firstPlace +
           "; " +
           (latitudeFirst ? swapped
            : toGeographic ? "are they longitude and latitude? Then use --to-tm2"
                           : "are they TM2 eastings and northings? Then use --to-geographic") +
           "\n";
}

std::string ColumnNotFoundMessage(const std::string& name)
{
    return ChineseMessages() ? "第一行沒有名為「" + name + "」的欄位；請用第一行的欄名或欄號（從 1 起算）"
                             : "no field named \"" + name + "\" in the first line; give a name from it, or a "
                                   "field number counted from 1";
}

const char* OutOfMemoryMessage()
{
    // No allocation: there may be no memory left for one.
    return Localized("kartovel-convert: out of memory\n", "kartovel-convert: 記憶體不足 (out of memory)\n");
}

std::string WriteFailedMessage(const std::string& reason)
{
    return ChineseMessages() ? "kartovel-convert: 無法寫出輸出：" + reason + "\n"
                             : "kartovel-convert: cannot write the output: " + reason + "\n";
}

std::string Excerpt(const char* first, const char* last)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string excerpt;
    for (std::size_t n = 0; first != last; ++first, ++n) {
        const unsigned char c = static_cast<unsigned char>(*first);
        if (n >= 20 && (c & 0xC0) != 0x80)
            break;  // never in the middle of a UTF-8 character
        if (c == '\\')
            excerpt += "\\\\";
        else if (c >= 32 && c != 127)
            excerpt += static_cast<char>(c);  // UTF-8 is checked before a record is read
        else {
            excerpt += "\\x";
            excerpt += kHex[c >> 4];
            excerpt += kHex[c & 15];
        }
    }
    return excerpt;
}

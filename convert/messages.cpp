#include "messages.h"

#include <cstdlib>
#include <string_view>

#include "text/batch_file.h"
#include "text/load_report.h"

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

// What the user typed, quoted; anything that would act on the terminal escaped.
static std::string Quoted(const std::string& text)
{
    // Built by appending: g++ 12 warns falsely (-Wrestrict) about "'" + std::string&&.
    std::string quoted(1, '\'');
    quoted += TerminalSafeText(text);
    quoted += '\'';
    return quoted;
}

std::string UnknownOptionMessage(const std::string& argument)
{
    return ChineseMessages() ? "不認得的選項 " + Quoted(argument) : "unknown option " + Quoted(argument);
}

std::string NeedsValueMessage(const std::string& option)
{
    return ChineseMessages() ? "選項 " + Quoted(option) + " 需要一個值" : "option " + Quoted(option) + " needs a value";
}

std::string TakesNoValueMessage(const std::string& option)
{
    return ChineseMessages() ? "選項 " + Quoted(option) + " 不接受值" : "option " + Quoted(option) + " takes no value";
}

std::string UnknownEllipsoidMessage(const std::string& name)
{
    return ChineseMessages() ? "不認得的橢球體 " + Quoted(name) + "（grs67、twd67、grs80 或 twd97）"
                             : "unknown ellipsoid " + Quoted(name) + " (grs67, twd67, grs80 or twd97)";
}

std::string NotAJobCountMessage(const std::string& text, unsigned maximum)
{
    const std::string m = std::to_string(maximum);
    return ChineseMessages() ? Quoted(text) + " 不是 1 到 " + m + " 的執行緒數"
                             : Quoted(text) + " is not a count of jobs from 1 to " + m;
}

std::string NotTwoColumnsMessage(const std::string& text)
{
    return Quoted(text) + Localized(" is not two columns X,Y (numbers from 1, or names from the header line)",
                                    " 不是兩個欄位 X,Y（從 1 起算的欄號，或標題行的欄名）");
}

std::string NotAFieldNumberMessage(const std::string& column)
{
    return ChineseMessages() ? "欄位 " + Quoted(column) + " 不是 1 到 999999999 的欄號"
                             : "column " + Quoted(column) + " is not a field number from 1 to 999999999";
}

std::string SameColumnsMessage(const std::string& first, const std::string& second)
{
    if (first == second)
        return ChineseMessages() ? "X,Y 是同一個欄位 " + Quoted(first) : "the columns X,Y are the same field " + Quoted(first);
    return ChineseMessages() ? "X,Y 是同一個欄位：" + Quoted(first) + " 與 " + Quoted(second) + "；請給兩個不同的欄位"
                             : "the columns X,Y are the same field: " + Quoted(first) + " and " + Quoted(second) +
                                   "; give two different fields";
}

std::string SameFieldInHeaderMessage(const std::string& first, const std::string& second, std::size_t field)
{
    const std::string n = std::to_string(field);
    return ChineseMessages() ? "--columns 的 " + Quoted(first) + " 與 " + Quoted(second) + " 是標題行的同一個第 " + n +
                                   " 欄；請給兩個不同的欄位"
                             : "--columns " + Quoted(first) + " and " + Quoted(second) + " are the same field " + n +
                                   " of the header line; give two different fields";
}

std::string UnknownDelimiterMessage(const std::string& name)
{
    return ChineseMessages() ? "不認得的分隔字元 " + Quoted(name) + "（',' ';' tab 或 blanks）"
                             : "unknown delimiter " + Quoted(name) + " (',' ';' tab or blanks)";
}

std::string PairsAcrossLinesWithRecordsMessage()
{
    return Localized("--pairs-across-lines reads pairs; it does not go with --columns, --delimiter, --replace "
                     "or --decimal-comma",
                     "--pairs-across-lines 讀數對，不能與 --columns、--delimiter、--replace 或 --decimal-comma 同用");
}

std::string DecimalCommaWithCommaDelimiterMessage()
{
    return Localized("--decimal-comma reads commas as decimal marks, so a comma cannot also separate the fields; "
                     "save the file with ';' or tab between the fields and give --delimiter ';' or tab",
                     "--decimal-comma 把逗號當小數點，逗號就不能同時分隔欄位；請把檔案存成以 ';' 或 tab 分隔欄位，"
                     "並用 --delimiter ';' 或 tab");
}

std::string TryHelpMessage()
{
    return Localized("Try 'kartovel-convert --help' for more information.\n",
                     "請執行「kartovel-convert --help」查看說明。\n");
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

std::string NulByteMessage(std::size_t field)
{
    const std::string n = std::to_string(field);
    if (ChineseMessages())
        return (field == 0 ? std::string("這一行") : "第 " + n + " 欄") +
               "含有 NUL 位元組（\\x00），文字不會有；這不是文字檔或檔案已損壞：請確認這是坐標的文字檔，並存為 UTF-8";
    return (field == 0 ? std::string("the line holds") : "field " + n + ": holds") +
           " a NUL byte (\\x00), which text never holds; the file is not text, or is damaged: check that it "
           "is the text file of points, saved as UTF-8";
}

std::string LineTooLongMessage(std::size_t limit)
{
    const std::string n = std::to_string(limit);
    return ChineseMessages() ? "這一行超過 " + n + " 位元組，坐標的行不會這麼長；請確認這是坐標的文字檔，且行以換行結束"
                             : "the line is longer than " + n + " bytes, which no line of points is; check that "
                               "this is the text file of points and that its lines end";
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
                : toGeographic ? "這些是經緯度嗎？那請用 --to-tm2" : "這些是 TM2 坐標嗎？那請用 --to-geographic") +
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
    const std::string shown = TerminalSafeText(name);
    return ChineseMessages() ? "第一行沒有名為「" + shown + "」的欄位；請用第一行的欄名或欄號（從 1 起算）"
                             : "no field named \"" + shown + "\" in the first line; give a name from it, or a "
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

std::string CannotReadPairMessage(std::string_view bytes, std::size_t place, std::size_t unreadable, bool startOfFile)
{
    const std::string excerpt = ReadableExcerpt(bytes, place);
    const LoadStopCause cause = DiagnoseLoadStopAt(bytes, unreadable, startOfFile);
    const bool chinese = ChineseMessages();
    std::string message = chinese ? "無法在「" + excerpt + "」讀取一對數字"
                                  : "cannot read a pair of numbers at \"" + excerpt + "\"";
    switch (cause) {
    case LoadStopCause::ListSeparator:
        message += chinese ? "；欄位以逗號或分號分隔，如試算表的 CSV 檔：請用 --columns X,Y（從 1 起算的欄號或標題行的欄名）"
                             "讀取，必要時加 --delimiter"
                           : "; commas or semicolons separate the fields, as in a spreadsheet's CSV file: read it with "
                             "--columns X,Y (field numbers from 1, or names from the header line), and --delimiter "
                             "if needed";
        break;
    case LoadStopCause::Words:
        message += chinese ? "；這一行含有文字，例如標題行：請用 --columns X,Y（標題行的欄名或從 1 起算的欄號）讀取"
                           : "; the line holds words, such as a header line: read the file with --columns X,Y "
                             "(names from the header line, or field numbers from 1)";
        break;
    case LoadStopCause::Quote:
        message += chinese ? "；數字加了引號，如某些程式匯出的 CSV 檔：請用 --columns X,Y 讀取，必要時加 --delimiter"
                           : "; the numbers are in quotation marks, as some programs write CSV files: read it with "
                             "--columns X,Y, and --delimiter if needed";
        break;
    case LoadStopCause::Utf16:
        message += chinese ? "；檔案是 UTF-16 文字：請另存為 UTF-8（試算表：另存新檔，「CSV UTF-8」）後再轉換，"
                             "試算表的檔案請用 --columns X,Y 讀取"
                           : "; the file is UTF-16 text: save it as UTF-8 (in a spreadsheet: Save As, \"CSV UTF-8\") "
                             "and convert it again, with --columns X,Y for a spreadsheet's file";
        break;
    case LoadStopCause::OtherEncoding:
        message += chinese ? "；這一行不是 UTF-8 文字（可能是 Big5 等其他編碼）：請另存為 UTF-8（試算表：另存新檔，"
                             "「CSV UTF-8」）後再轉換，有標題行的檔案請用 --columns X,Y 讀取"
                           : "; the line is not UTF-8 text (probably another encoding, such as Big5): save the file "
                             "as UTF-8 (in a spreadsheet: Save As, \"CSV UTF-8\") and convert it again, with "
                             "--columns X,Y for a file with a header line";
        break;
    default:
        break;
    }
    return message;
}

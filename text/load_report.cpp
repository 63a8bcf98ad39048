// The load report. The cause is judged from the first byte where no number could be
// read, because that byte is what tells a spreadsheet's CSV (a comma), a quoted export,
// a header (letters) or a file in another encoding apart; only UTF-16 is recognised
// from the file's first bytes as well, since its byte-order mark is what stops it.
#include "text/load_report.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "text/taiwan_area.h"
#include "text/table_value.h"

namespace {

bool IsAsciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// Full-width forms and the CJK space and punctuation, typed with a Chinese input method
// where a plain space, digit or comma was meant.
bool IsFullWidth(char32_t c) { return (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF5E); }

// Letters of the scripts a header is written in: Latin with accents, Greek, Cyrillic,
// and the CJK blocks (Bopomofo, kana, ideographs, Hangul).
bool IsLetter(char32_t c)
{
    return (c >= 0x00C0 && c <= 0x052F && c != 0x00D7 && c != 0x00F7) || (c >= 0x2E80 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFAFF) || c >= 0x20000;
}

bool IsNumberStart(unsigned char c) { return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; }

struct Explanation {
    const char* causeChinese;
    const char* remedyChinese;
    const char* causeEnglish;
    const char* remedyEnglish;
};

Explanation Explain(LoadStopCause cause)
{
    switch (cause) {
    case LoadStopCause::Words:
        return {"這一行含有文字，例如欄位標題或註記。",
                "刪除含有文字的行，讓檔案只有以空白分隔的數字，再重新載入。",
                "the line holds words, such as a header line or a note.",
                "delete the lines with words so that the file holds only numbers separated by blanks, "
                "then load the file again."};
    case LoadStopCause::ListSeparator:
        return {"數字之間用了逗號或分號（例如試算表存成的 CSV 檔），或以逗號當作小數點。",
                "在試算表中另存為「文字檔（Tab 字元分隔）」，或把逗號、分號換成空白；小數點一律寫成「.」。"
                "再重新載入。",
                "the numbers are separated by commas or semicolons (as in a CSV file saved by a "
                "spreadsheet), or a comma stands for the decimal point.",
                "save the sheet as \"Text (Tab delimited)\", or replace the commas or semicolons by "
                "blanks; always write the decimal point as \".\". Then load the file again."};
    case LoadStopCause::Quote:
        return {"數字加了引號（有些程式匯出的 CSV 檔會這樣寫）。",
                "刪除所有引號，只留下數字與空白，再重新載入。",
                "the numbers are in quotation marks (some programs write CSV files that way).",
                "remove the quotation marks, keeping only the numbers and blanks, then load the file again."};
    case LoadStopCause::Utf16:
        return {"檔案是 UTF-16（「Unicode 文字」）編碼，每個字元佔兩個位元組。",
                "用文字編輯器把檔案另存為 UTF-8 或 ANSI 編碼，再重新載入。",
                "the file is UTF-16 text (\"Unicode text\"), two bytes for each character.",
                "save the file again as UTF-8 or ANSI text in a text editor, then load it again."};
    case LoadStopCause::OtherEncoding:
        return {"這一行不是 UTF-8 文字，可能是 Big5 等其他編碼寫成的標題或註記。",
                "刪除這一行及其他含有文字的行，只留下數字，再重新載入。",
                "the line is not UTF-8 text: probably a header or a note in another encoding, such as Big5.",
                "delete this line and any other line with words, keeping only the numbers, then load the "
                "file again."};
    case LoadStopCause::FullWidth:
        return {"用了全形字元（全形空白、數字或標點）；只有半形數字與空白能讀取。",
                "把全形字元改成半形（例如用半形空白分隔數字），再重新載入。",
                "full-width characters are used (a full-width space, digit or punctuation mark); only "
                "half-width digits and blanks can be read.",
                "replace them by half-width characters (separate the numbers by ordinary blanks), then "
                "load the file again."};
    case LoadStopCause::ByteOrderMarkInside:
        return {"檔案中間有一個位元組順序標記（BOM），通常是兩個檔案接在一起的地方。",
                "重新輸入這一行（編輯器看不見這個標記），或把兩個檔案分開載入。",
                "a byte-order mark stands inside the file, usually where two files were joined.",
                "retype this line (editors do not show the mark), or load the two files separately."};
    case LoadStopCause::LoneNumber:
        return {"最後一個數字沒有配對：數字的個數是奇數，而每一組需要 x 與 y 兩個數字。",
                "補上缺少的數字或刪除多出的數字，並檢查前面各組的 x、y 有沒有錯位。",
                "the last number has no partner: the count of numbers is odd, and each pair needs two, x and y.",
                "add the missing number or delete the extra one, and check that x and y of the pairs "
                "before it are not mixed up."};
    case LoadStopCause::IncompleteNumber:
        return {"這裡的數字寫得不完整，例如指數「e」後面沒有數字，或只有正負號、小數點。",
                "改正這個數字，再重新載入。",
                "a number here is incomplete, such as an exponent \"e\" without digits, or a sign or a "
                "point alone.",
                "correct the number, then load the file again."};
    case LoadStopCause::OtherCharacter:
        break;
    }
    return {"這一行有數字以外的字元（例如控制字元或其他符號）。",
            "刪除這些字元，只留下數字、空白與換行，再重新載入。",
            "the line holds a character that is not part of a number (a control character or another "
            "sign).",
            "delete those characters, keeping only numbers, blanks and line ends, then load the file again."};
}

std::string Counted(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}


// ---------------------------------------------------------------------------------
// The survey: every problem that shows in the lines around the stop, so that one
// message names them all and one edit mends the file. A spreadsheet's export usually
// has several at once (a header, a name column, commas), and a message that names only
// the first makes the user load, edit and load again for each.

// Lines looked at before and after the stop line, and the most bytes taken for them.
constexpr std::size_t kSurveyLinesBefore = 2;
constexpr std::size_t kSurveyLinesAfter = 5;
constexpr std::size_t kSurveyBytes = 1 << 16;

// UTF-16 text (little- or big-endian, told by its mark or by where its NUL bytes fall)
// as UTF-8, up to kSurveyBytes bytes of it; unpaired surrogates become U+FFFD.
std::string Utf16AsUtf8(std::string_view bytes)
{
    bool bigEndian = bytes.starts_with("\xFE\xFF") || (!bytes.starts_with("\xFF\xFE") && !bytes.empty() && bytes[0] == 0);
    std::size_t i = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ? 2 : 0;
    const std::size_t end = std::min(bytes.size(), kSurveyBytes) & ~std::size_t(1);
    const auto unit = [&](std::size_t at) -> char32_t {
        const auto lo = static_cast<unsigned char>(bytes[at + (bigEndian ? 1 : 0)]);
        const auto hi = static_cast<unsigned char>(bytes[at + (bigEndian ? 0 : 1)]);
        return static_cast<char32_t>(hi << 8 | lo);
    };
    std::string text;
    const auto put = [&](char32_t c) {
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | c >> 6);
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | c >> 12);
            text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | c >> 18);
            text += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    };
    for (; i + 1 < end; i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < end && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        put(c);
    }
    return text;
}

bool IsValidUtf8(std::string_view text)
{
    while (!text.empty()) {
        char32_t codePoint;
        const std::size_t length = DecodeUtf8(text, codePoint);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view Trimmed(std::string_view field)
{
    while (!field.empty() && IsBlank(field.front())) field.remove_prefix(1);
    while (!field.empty() && IsBlank(field.back())) field.remove_suffix(1);
    return field;
}

// A field without the quotation marks around it.
std::string_view Unquoted(std::string_view field, bool& quoted)
{
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
        quoted = true;
        return field.substr(1, field.size() - 2);
    }
    return field;
}

bool IsWholeNumber(std::string_view text)
{
    return !text.empty() && ScanBatchNumber(text.data(), text.data() + text.size()) == text.data() + text.size();
}

// Digits, one comma, digits: a number written with a decimal comma ("247342,5").
bool IsDecimalCommaNumber(std::string_view text)
{
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        text.remove_prefix(1);
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos || comma == 0 || comma + 1 == text.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i != comma && !(text[i] >= '0' && text[i] <= '9'))
            return false;
    return true;
}

// One line split into its fields, each one a number (read as the batch grammar reads it,
// a decimal comma taken as a point) or text.
struct SurveyLine {
    std::size_t number = 0;  // 1-based line of the file
    std::string_view text;
    char delimiter = ' ';    // tab, ';', ',' or ' ' (runs of blanks)
    bool decimalComma = false;
    bool quotes = false;
    bool utf8 = true;
    std::vector<std::string> fields;   // unquoted, decimal comma turned into a point
    std::vector<bool> isNumber;
    std::size_t numbers = 0;
    std::size_t words = 0;
};

std::vector<std::string_view> Split(std::string_view line, char delimiter)
{
    std::vector<std::string_view> fields;
    if (delimiter == ' ') {
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && IsBlank(line[i])) ++i;
            const std::size_t start = i;
            while (i < line.size() && !IsBlank(line[i])) ++i;
            if (i > start)
                fields.push_back(line.substr(start, i - start));
        }
        return fields;
    }
    for (std::size_t start = 0;;) {
        const std::size_t at = line.find(delimiter, start);
        fields.push_back(Trimmed(line.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start)));
        if (at == std::string_view::npos)
            return fields;
        start = at + 1;
    }
}

SurveyLine SurveyOneLine(std::size_t number, std::string_view text)
{
    SurveyLine line;
    line.number = number;
    line.text = text;
    line.utf8 = IsValidUtf8(text);
    line.quotes = text.find('"') != std::string_view::npos;
    // A comma is a decimal comma when the line is split by something else (tab,
    // semicolon or blanks) and every field with a comma is digits, comma, digits.
    const char outer = text.find('\t') != std::string_view::npos ? '\t'
                       : text.find(';') != std::string_view::npos ? ';'
                                                                  : ' ';
    bool anyComma = false, allDecimal = true;
    const std::vector<std::string_view> outerFields = Split(text, outer);
    for (std::string_view field : outerFields) {
        bool quoted = false;
        field = Unquoted(field, quoted);
        if (field.find(',') != std::string_view::npos) {
            anyComma = true;
            allDecimal = allDecimal && IsDecimalCommaNumber(field);
        }
    }
    // One field alone ("3,4") is two numbers and a comma as often as one number.
    line.decimalComma = anyComma && allDecimal && outerFields.size() >= 2;
    line.delimiter = line.decimalComma || outer != ' ' || text.find(',') == std::string_view::npos ? outer : ',';
    for (std::string_view raw : Split(text, line.delimiter)) {
        bool quoted = false;
        std::string field(Unquoted(raw, quoted));
        if (line.decimalComma && IsDecimalCommaNumber(field))
            field[field.find(',')] = '.';
        const bool isNumber = IsWholeNumber(field);
        line.numbers += isNumber;
        line.words += !isNumber && !field.empty();
        line.fields.push_back(std::move(field));
        line.isNumber.push_back(isNumber);
    }
    return line;
}

// Everything the survey found, and the one line shown mended as an example.
struct LoadSurvey {
    bool utf16 = false;
    std::size_t otherEncodingLine = 0;   // first line that is not UTF-8
    std::size_t headerFirst = 0, headerLast = 0;  // leading lines of words only
    bool wordsBesideNumbers = false;
    std::size_t mostNumbers = 0;          // the most numbers on one line
    bool quotes = false;
    bool decimalComma = false;
    bool commas = false, semicolons = false;  // as separators
    bool latitudeFirst = false;
    std::size_t exampleLine = 0;
    std::string exampleBefore, exampleAfter;
    std::size_t xField = 0, yField = 0;   // 1-based fields of x and y in a delimited line
    char delimiter = ' ';

    std::size_t Count() const
    {
        return utf16 + (otherEncodingLine != 0) + (headerFirst != 0) + wordsBesideNumbers + (mostNumbers > 2) +
               quotes + decimalComma + (commas || semicolons) + latitudeFirst;
    }
    // Problems the one-cause message cannot tell or mends wrongly.
    bool NeedsSurveyMessage() const
    {
        return Count() > 1 || wordsBesideNumbers || mostNumbers > 2 || decimalComma || latitudeFirst;
    }
};

// A whole line as the example shows it: as readable as an excerpt, but not cut short
// unless it is long.
std::string ExampleText(std::string_view line)
{
    constexpr std::size_t kLongest = 60;
    std::string shown;
    for (std::size_t at = 0; at < line.size() && shown.size() < kLongest;) {
        const std::string piece = ReadableExcerpt(line, at);
        shown += piece;
        // ReadableExcerpt stops after its count of characters: go on from there.
        std::size_t taken = 0;
        for (std::size_t characters = 0; at + taken < line.size() && characters < kReadableExcerptCharacters; ++characters) {
            char32_t codePoint;
            const std::size_t length = DecodeUtf8(line.substr(at + taken), codePoint);
            taken += length == 0 ? 1 : length;
        }
        at += taken;
    }
    return shown;
}

Extended NumberValue(const std::string& text) { return static_cast<Extended>(BatchNumberValue(text)); }

// The two numbers of a line that are its coordinates: the first two neighbours that
// lie in Taiwan's area as grid or degrees (either order), else the last two of three
// numbers whose first is a whole number (an ID), else the first two.
std::optional<std::pair<std::size_t, std::size_t>> CoordinateFields(const SurveyLine& line)
{
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < line.fields.size(); ++i)
        if (line.isNumber[i])
            at.push_back(i);
    if (at.size() < 2)
        return std::nullopt;
    for (std::size_t k = 0; k + 1 < at.size(); ++k) {
        const Extended a = NumberValue(line.fields[at[k]]), b = NumberValue(line.fields[at[k + 1]]);
        for (ConversionMode mode : {TM2ToGeographic, GeographicToTM2})
            if (FitTaiwanArea(mode, a, b) != AreaFit::Outside)
                return std::pair{at[k], at[k + 1]};
    }
    if (at.size() == 3 && line.fields[at[0]].find_first_of(".eE") == std::string::npos)
        return std::pair{at[1], at[2]};
    return std::pair{at[0], at[1]};
}

LoadSurvey Survey(std::string_view bytes, const BatchReadResult& read)
{
    LoadSurvey survey;
    std::string decoded;
    std::string_view text = bytes.substr(0, std::min(TextLength(bytes), read.stopOffset + kSurveyBytes));
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
        (bytes.size() >= 2 && (bytes[0] == 0) != (bytes[1] == 0))) {
        survey.utf16 = true;
        decoded = Utf16AsUtf8(bytes);
        text = decoded;
    }
    text.remove_prefix(Utf8ByteOrderMarkLength(text));
    const std::size_t stopLine = survey.utf16 ? 1 : read.stopLine;
    const std::size_t first = stopLine > kSurveyLinesBefore ? stopLine - kSurveyLinesBefore : 1;
    const std::size_t last = stopLine + kSurveyLinesAfter;

    bool dataSeen = false;
    std::size_t number = 1;
    for (std::size_t i = 0; i <= text.size() && number <= last;) {
        std::size_t end = i;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        const std::string_view content = text.substr(i, end - i);
        if (number >= first && !Trimmed(content).empty()) {
            const SurveyLine line = SurveyOneLine(number, content);
            if (!line.utf8 && survey.otherEncodingLine == 0)
                survey.otherEncodingLine = number;
            if (line.numbers == 0) {
                // Words and no number: a header (or a note) before the data.
                if (!dataSeen) {
                    if (survey.headerFirst == 0)
                        survey.headerFirst = number;
                    survey.headerLast = number;
                }
            } else {
                dataSeen = true;
                survey.quotes = survey.quotes || line.quotes;
                survey.decimalComma = survey.decimalComma || line.decimalComma;
                survey.wordsBesideNumbers = survey.wordsBesideNumbers || line.words != 0;
                survey.mostNumbers = std::max(survey.mostNumbers, line.numbers);
                survey.commas = survey.commas || line.delimiter == ',';
                survey.semicolons = survey.semicolons || line.delimiter == ';';
                if (const auto xy = CoordinateFields(line)) {
                    const Extended x = NumberValue(line.fields[xy->first]), y = NumberValue(line.fields[xy->second]);
                    const bool swapped = FitTaiwanArea(GeographicToTM2, x, y) == AreaFit::InsideWhenSwapped;
                    survey.latitudeFirst = survey.latitudeFirst || swapped;
                    const std::size_t xField = (swapped ? xy->second : xy->first) + 1;
                    const std::size_t yField = (swapped ? xy->first : xy->second) + 1;
                    std::string mended = line.fields[xField - 1] + " " + line.fields[yField - 1];
                    // The example is the first line that needs mending.
                    if (survey.exampleLine == 0 && mended != Trimmed(content)) {
                        survey.exampleLine = number;
                        survey.exampleBefore = ExampleText(content);
                        survey.exampleAfter = std::move(mended);
                        survey.delimiter = line.delimiter;
                        survey.xField = xField;
                        survey.yField = yField;
                    }
                }
            }
        }
        if (end == text.size())
            break;
        i = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
        ++number;
    }
    return survey;
}

// The survey's causes and its one remedy, in Chinese and in English.
struct SurveyText {
    std::string causesChinese, remedyChinese, causesEnglish, remedyEnglish;
};

std::string Lines(std::size_t first, std::size_t last, bool chinese)
{
    if (first == last)
        return chinese ? "第 " + std::to_string(first) + " 行" : "line " + std::to_string(first);
    return chinese ? "第 " + std::to_string(first) + " 至 " + std::to_string(last) + " 行"
                   : "lines " + std::to_string(first) + " to " + std::to_string(last);
}

SurveyText Describe(const LoadSurvey& s)
{
    SurveyText t;
    const auto cause = [&](const std::string& chinese, const std::string& english) {
        t.causesChinese += "\n・" + chinese;
        t.causesEnglish += "\n- " + english;
    };
    std::vector<std::pair<std::string, std::string>> steps;
    const bool spreadsheet = s.utf16 || s.commas || s.semicolons || s.quotes || s.delimiter == '\t';
    const bool otherColumns = s.wordsBesideNumbers || s.mostNumbers > 2;

    if (s.utf16) {
        cause("檔案是 UTF-16（「Unicode 文字」）編碼。", "the file is UTF-16 text (\"Unicode text\").");
        steps.push_back({"把檔案另存為 UTF-8 編碼", "save the file as UTF-8 text"});
    }
    if (s.otherEncodingLine != 0)
        cause(Lines(s.otherEncodingLine, s.otherEncodingLine, true) + "不是 UTF-8 文字，可能是 Big5 等其他編碼。",
              Lines(s.otherEncodingLine, s.otherEncodingLine, false) +
                  " is not UTF-8 text: probably another encoding, such as Big5.");
    if (s.headerFirst != 0) {
        cause(Lines(s.headerFirst, s.headerLast, true) + "只有文字：欄位標題或註記。",
              Lines(s.headerFirst, s.headerLast, false) + " holds only words: a header or a note.");
        steps.push_back({"刪除" + Lines(s.headerFirst, s.headerLast, true),
                         "delete " + Lines(s.headerFirst, s.headerLast, false)});
    }
    if (s.wordsBesideNumbers)
        cause("坐標旁有名稱、備註等文字欄。", "names or remarks stand beside the coordinates.");
    if (s.mostNumbers > 2)
        cause("有的行有 " + std::to_string(s.mostNumbers) + " 個數字：多了編號、高程等欄，數字會錯配成 x、y。",
              "a line holds " + std::to_string(s.mostNumbers) +
                  " numbers: an ID, height or other column, which would pair the numbers wrongly as x and y.");
    if (otherColumns) {
        std::string chinese = "只保留兩個坐標欄", english = "keep only the two coordinate columns";
        if (s.xField != 0 && s.delimiter != ' ') {
            chinese += "（第 " + std::to_string(s.xField) + "、" + std::to_string(s.yField) + " 欄）";
            english += " (fields " + std::to_string(s.xField) + " and " + std::to_string(s.yField) + ")";
        }
        steps.push_back({chinese, english});
    }
    if (s.quotes) {
        cause("數字加了引號。", "the numbers are in quotation marks.");
        steps.push_back({"刪除引號", "remove the quotation marks"});
    }
    const std::string separatorChinese = s.semicolons ? (s.commas ? "逗號、分號" : "分號") : "逗號";
    const std::string separatorEnglish = s.semicolons ? (s.commas ? "commas and semicolons" : "semicolons") : "commas";
    if (s.decimalComma) {
        cause("以逗號當作小數點。", "a comma stands for the decimal point.");
        steps.push_back({"先把小數點的逗號換成「.」", "first replace each decimal comma by a point \".\""});
    }
    if (s.commas || s.semicolons) {
        cause("數字之間以" + separatorChinese + "分隔（CSV 檔）。", "the numbers are separated by " + separatorEnglish + " (a CSV file).");
        steps.push_back({std::string(s.decimalComma ? "再" : "") + "把" + separatorChinese + "換成空白",
                         std::string(s.decimalComma ? "then " : "") + "replace the " + separatorEnglish + " by blanks"});
    }
    if (s.latitudeFirst) {
        cause("數字看來是緯度在前、經度在後（Google 地圖複製坐標的順序）；x 應是經度。",
              "the numbers look like latitude before longitude (the order in which Google Maps copies a point); "
              "x must be the longitude.");
        steps.push_back({"把兩欄對調，經度在前", "swap the two columns, longitude first"});
    }

    std::string chinese, english;
    if (otherColumns && spreadsheet && !s.decimalComma && !s.latitudeFirst) {
        chinese = "最快：在試算表中只選取兩個坐標欄的數字（不含標題），複製後在表格上按 Ctrl+V 貼上。或修改檔案：";
        english = "Quickest: in the spreadsheet select only the numbers of the two coordinate columns (without the "
                  "header), copy them and press Ctrl+V on the table. Or edit the file: ";
    }
    for (std::size_t i = 0; i < steps.size(); ++i) {
        chinese += (i == 0 ? "" : "；") + steps[i].first;
        english += (i == 0 ? "" : "; ") + steps[i].second;
    }
    chinese += "，讓每一行只有 x 與 y 兩個數字、以空白分隔";
    english += ", so that each line holds only the two numbers x and y, separated by a blank";
    if (s.exampleLine != 0) {
        chinese += "，例如" + Lines(s.exampleLine, s.exampleLine, true) + "「" + s.exampleBefore + "」改成「" +
                   s.exampleAfter + "」";
        english += "; for example " + Lines(s.exampleLine, s.exampleLine, false) + " \"" + s.exampleBefore +
                   "\" becomes \"" + s.exampleAfter + "\"";
    }
    chinese += "。再重新載入。";
    english += ". Then load the file again.";
    // The converter reads delimited UTF-8 records by field number.
    if (s.xField != 0 && s.delimiter != ' ' && !s.decimalComma && !s.utf16 && s.otherEncodingLine == 0) {
        const std::string columns = (s.latitudeFirst ? "--to-tm2 --columns " : "--columns ") +
                                    std::to_string(s.xField) + "," + std::to_string(s.yField);
        chinese += "命令列：kartovel-convert " + columns + "。";
        english += " On the command line: kartovel-convert " + columns + ".";
    }
    t.remedyChinese = chinese;
    t.remedyEnglish = english;
    return t;
}

}  // namespace

LoadStopCause DiagnoseLoadStop(std::string_view bytes, const BatchReadResult& read)
{
    return DiagnoseLoadStopAt(bytes, read.unreadableOffset);
}

LoadStopCause DiagnoseLoadStopAt(std::string_view bytes, std::size_t at, bool startOfFile)
{
    if (startOfFile && StartsWithUtf16ByteOrderMark(bytes))
        return LoadStopCause::Utf16;
    const std::size_t end = TextLength(bytes);
    if (at >= end)
        return LoadStopCause::LoneNumber;
    const std::string_view rest = bytes.substr(at, end - at);
    const unsigned char c = static_cast<unsigned char>(rest[0]);
    // UTF-16 without a mark: every other byte of its ASCII text is NUL.
    if (c == 0)
        return LoadStopCause::Utf16;
    if (rest.starts_with("\xEF\xBB\xBF"))
        return LoadStopCause::ByteOrderMarkInside;
    if (c >= 0x80) {
        char32_t codePoint;
        if (DecodeUtf8(rest, codePoint) == 0)
            return LoadStopCause::OtherEncoding;
        if (IsFullWidth(codePoint))
            return LoadStopCause::FullWidth;
        return IsLetter(codePoint) ? LoadStopCause::Words : LoadStopCause::OtherCharacter;
    }
    if (IsAsciiLetter(c))
        return LoadStopCause::Words;
    if (c == ',' || c == ';')
        return LoadStopCause::ListSeparator;
    if (c == '"' || c == '\'')
        return LoadStopCause::Quote;
    if (IsNumberStart(c))
        return LoadStopCause::IncompleteNumber;
    return LoadStopCause::OtherCharacter;
}

std::string LoadReport(std::string_view bytes, const BatchReadResult& read)
{
    if (!read.stoppedEarly && read.layoutBreakLine == 0)
        return {};
    const std::size_t pairs = read.pairCount;
    std::string chinese = "已載入 " + std::to_string(pairs) + " 組座標。";
    std::string english = Counted(pairs, "pair", "pairs") + " loaded.";

    const LoadStopCause stop = read.stoppedEarly ? DiagnoseLoadStop(bytes, read) : LoadStopCause::OtherCharacter;
    // The survey tells the text's own problems; a byte-order mark inside, full-width
    // characters or a broken number it does not look for.
    const bool surveyed = stop != LoadStopCause::ByteOrderMarkInside && stop != LoadStopCause::FullWidth &&
                          stop != LoadStopCause::IncompleteNumber;
    const LoadSurvey survey = surveyed && read.stoppedEarly ? Survey(bytes, read) : LoadSurvey();
    if (read.stoppedEarly && survey.NeedsSurveyMessage()) {
        const SurveyText why = Describe(survey);
        const std::string line = std::to_string(read.stopLine);
        const std::string excerpt = ReadableExcerpt(bytes, read.stopOffset);
        chinese += "讀取在第 " + line + " 行停止：「" + excerpt + "」。\n發現的問題：" + why.causesChinese +
                   "\n處理方法：" + why.remedyChinese;
        english += " Reading stopped at line " + line + ": \"" + excerpt + "\".\nProblems found:" +
                   why.causesEnglish + "\nWhat to do: " + why.remedyEnglish;
    } else if (read.stoppedEarly) {
        const std::string line = std::to_string(read.stopLine);
        const std::string excerpt = ReadableExcerpt(bytes, read.stopOffset);
        const Explanation why = Explain(stop);
        chinese += "讀取在第 " + line + " 行停止：「" + excerpt + "」。\n可能原因：" + why.causeChinese +
                   "\n處理方法：" + why.remedyChinese;
        english += " Reading stopped at line " + line + ": \"" + excerpt + "\".\nLikely cause: " +
                   why.causeEnglish + "\nWhat to do: " + why.remedyEnglish;
    }

    if (read.layoutBreakLine != 0) {
        const std::string line = std::to_string(read.layoutBreakLine);
        const std::size_t numbers = read.layoutBreakNumbers;
        const std::size_t before = read.layoutNumbersPerLine;
        chinese += "\n注意：數字沒有排成每行一組：第 " + line + " 行有 " + std::to_string(numbers) + " 個數字";
        english += "\nNote: the pairs do not line up with the lines: line " + line + " holds " +
                   Counted(numbers, "number", "numbers");
        if (before == 0) {
            chinese += "（每行應只有一組 x y）。";
            english += " (a line should hold one pair, x y).";
        } else {
            chinese += "，前面各行每行 " + std::to_string(before) + " 個";
            english += ", where the lines before it hold " + std::to_string(before) + " each";
            if (numbers < before) {
                chinese += "，所以有一組從這一行開始、到下一行才結束";
                english += ", so a pair starts on this line and ends on the next";
            }
            chinese += "。";
            english += ".";
        }
        chinese += "數字一律依檔案順序每兩個配成一組（x、y），不看換行，所以 x 與 y 可能錯位，"
                   "例如檔案多了編號欄或高程欄。請檢查表格；必要時刪除多出的欄，讓每行只有 x 與 y，再重新載入。";
        english += " Numbers are paired two by two in file order whatever the lines, so x and y may be "
                   "mixed up, for example by an ID or a height column. Check the table; if needed, delete "
                   "the extra column so that each line holds only x and y, then load the file again.";
    }
    return chinese + "\n\n" + english;
}

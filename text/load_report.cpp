// The load report. The cause is judged from the first byte where no number could be
// read, because that byte is what tells a spreadsheet's CSV (a comma), a quoted export,
// a header (letters) or a file in another encoding apart; only UTF-16 is recognised
// from the file's first bytes as well, since its byte-order mark is what stops it.
#include "text/load_report.h"


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

    if (read.stoppedEarly) {
        const std::string line = std::to_string(read.stopLine);
        const std::string excerpt = ReadableExcerpt(bytes, read.stopOffset);
        const Explanation why = Explain(DiagnoseLoadStop(bytes, read));
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

// The load report: the cause recognised for each kind of file that stops the reading,
// the excerpt as readable text, and whole messages as the user reads them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/batch_reader.h"
#include "text/load_report.h"

template <std::size_t N>
static std::string Bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

TEST(LoadReport, Causes)
{
    struct Case {
        const char* name;
        std::string file;
        LoadStopCause cause;
    };
    const std::vector<Case> table = {
        {"header line", "E N\n247342 2652335\n", LoadStopCause::Words},
        {"words after the data", "1 2\nEND\n", LoadStopCause::Words},
        {"Chinese header in UTF-8", "東 北\n1 2\n", LoadStopCause::Words},
        {"comma-separated", "121.5,24.5\n", LoadStopCause::ListSeparator},
        {"semicolon-separated", "1 2\n3;4\n", LoadStopCause::ListSeparator},
        {"decimal comma", "121,5 24,5\n", LoadStopCause::ListSeparator},
        {"quoted numbers", "\"121.5\" \"24.5\"\n", LoadStopCause::Quote},
        {"quote after a number", "1 2\n3 '4'\n", LoadStopCause::Quote},
        {"UTF-16 LE with its mark", Bytes("\xFF\xFE" "1\0 \0" "2\0"), LoadStopCause::Utf16},
        {"UTF-16 BE with its mark", Bytes("\xFE\xFF\0" "1\0 \0" "2"), LoadStopCause::Utf16},
        {"UTF-16 LE without a mark", Bytes("1\0 \0" "2\0"), LoadStopCause::Utf16},
        {"UTF-16 BE without a mark", Bytes("\0" "1\0 \0" "2"), LoadStopCause::Utf16},
        {"Big5 header", Bytes("\xAA\x46 \xA5\x5F\n1 2\n"), LoadStopCause::OtherEncoding},
        {"Big5 after the data", Bytes("1 2\n\xB5\xB2\xA7\xF4\n"), LoadStopCause::OtherEncoding},
        {"full-width space", "1 2　3 4\n", LoadStopCause::FullWidth},
        {"full-width digits", "１ ２\n", LoadStopCause::FullWidth},
        {"byte-order mark inside", Bytes("1 2\n\xEF\xBB\xBF" "3 4\n"), LoadStopCause::ByteOrderMarkInside},
        {"lone last number", "1 2\n3 4\n5\n", LoadStopCause::LoneNumber},
        {"lone number before Ctrl-Z", Bytes("1 2 3\x1A" "4"), LoadStopCause::LoneNumber},
        {"exponent without digits", "1e 2\n", LoadStopCause::IncompleteNumber},
        {"sign alone", "1 2 - 3\n", LoadStopCause::IncompleteNumber},
        {"degree sign", "121° 23°\n", LoadStopCause::OtherCharacter},
        {"control character", Bytes("1 2\x01"), LoadStopCause::OtherCharacter},
        {"comment sign", "# E N\n", LoadStopCause::OtherCharacter},
    };
    for (const Case& c : table) {
        const BatchReadResult read = ReadBatchPairs(c.file);
        ASSERT_TRUE(read.stoppedEarly) << c.name;
        EXPECT_EQ(DiagnoseLoadStop(c.file, read), c.cause) << c.name;
    }
}

TEST(LoadReport, ReadableExcerpt)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t offset;
        const char* excerpt;
    };
    const std::vector<Case> table = {
        {"UTF-8 decoded", "1 2\n編號 E N\n", 4, "編號 E N"},
        {"ends at the line end", "ab\r\ncd", 0, "ab"},
        {"twenty characters, not bytes", "一二三四五六七八九十一二三四五六七八九十二", 0, "一二三四五六七八九十一二三四五六七八九十"},
        {"Big5 escaped with its trail bytes", Bytes("\xAA\x46 \xA5\x5F"), 0, "\\xAA\\x46 \\xA5\\x5F"},
        {"Big5 line: no stray UTF-8 letter", Bytes("\xA4\xA4\xD7\xA9 1"), 0, "\\xA4\\xA4\\xD7\\xA9 1"},
        {"UTF-16 without a mark", Bytes("2\0" "4\0" "7\0" " \0" "\x71\x67" "\r\0\n\0" "9\0"), 0, "247 東"},
        {"UTF-16 big-endian", Bytes("\xFE\xFF" "\0" "E" "\0\t" "\0\x1B"), 0, "E\\t\\x1B"},
        {"UTF-16", Bytes("\xFF\xFE" "1\0 \0"), 0, "1 "},
        {"byte-order mark shown", Bytes("\xEF\xBB\xBF" "3 4"), 0, "\\xEF\\xBB\\xBF3 4"},
        {"backslash and tab", "a\\b\tc", 0, "a\\\\b\\tc"},
        {"control characters", Bytes("\x7F\x1B\xC2\x85"), 0, "\\x7F\\x1B\\xC2\\x85"},
        {"overlong form and surrogate", Bytes("\xC0\xAF\xED\xA0\x80"), 0, "\\xC0\\xAF\\xED\\xA0\\x80"},
        {"character cut short at the end", Bytes("x\xE6\x9D"), 0, "x\\xE6\\x9D"},
        {"stops at Ctrl-Z", Bytes("ab\x1A" "cd"), 0, "ab"},
        {"offset at the end", "ab", 2, ""},
    };
    for (const Case& c : table)
        EXPECT_EQ(ReadableExcerpt(c.bytes, c.offset), c.excerpt) << c.name;
}

TEST(LoadReport, Messages)
{
    struct Case {
        const char* name;
        std::string file;
        bool warns;
        const char* message;
    };
    const std::vector<Case> table = {
        {"whole file, lined up", "1 2\n3 4\n", false, ""},
        {"old layout", "1\n2\n", false, ""},
        {"comma-separated line 2", "1 2\n3,4\n", false,
         "已載入 1 組座標。讀取在第 2 行停止：「3,4」。\n"
         "可能原因：數字之間用了逗號或分號（例如試算表存成的 CSV 檔），或以逗號當作小數點。\n"
         "處理方法：在試算表中另存為「文字檔（Tab 字元分隔）」，或把逗號、分號換成空白；小數點一律寫成「.」。再重新載入。\n\n"
         "1 pair loaded. Reading stopped at line 2: \"3,4\".\n"
         "Likely cause: the numbers are separated by commas or semicolons (as in a CSV file saved by a "
         "spreadsheet), or a comma stands for the decimal point.\n"
         "What to do: save the sheet as \"Text (Tab delimited)\", or replace the commas or semicolons by "
         "blanks; always write the decimal point as \".\". Then load the file again."},
        {"an ID column", "1 247342 2652335\n2 250000 2600000\n", true,
         "已載入 3 組座標。\n"
         "注意：數字沒有排成每行一組：第 1 行有 3 個數字（每行應只有一組 x y）。數字一律依檔案順序每兩個配成一組（x、y），"
         "不看換行，所以 x 與 y 可能錯位，例如檔案多了編號欄或高程欄。請檢查表格；必要時刪除多出的欄，讓每行只有 x 與 y，再重新載入。\n\n"
         "3 pairs loaded.\n"
         "Note: the pairs do not line up with the lines: line 1 holds 3 numbers (a line should hold one pair, x y). "
         "Numbers are paired two by two in file order whatever the lines, so x and y may be mixed up, for example "
         "by an ID or a height column. Check the table; if needed, delete the extra column so that each line "
         "holds only x and y, then load the file again."},
        {"a broken pair, then a lone number", "1 2\n3\n4 5\n", true,
         "已載入 2 組座標。讀取在第 3 行停止：「5」。\n"
         "可能原因：最後一個數字沒有配對：數字的個數是奇數，而每一組需要 x 與 y 兩個數字。\n"
         "處理方法：補上缺少的數字或刪除多出的數字，並檢查前面各組的 x、y 有沒有錯位。\n"
         "注意：數字沒有排成每行一組：第 2 行有 1 個數字，前面各行每行 2 個，所以有一組從這一行開始、到下一行才結束。"
         "數字一律依檔案順序每兩個配成一組（x、y），不看換行，所以 x 與 y 可能錯位，例如檔案多了編號欄或高程欄。"
         "請檢查表格；必要時刪除多出的欄，讓每行只有 x 與 y，再重新載入。\n\n"
         "2 pairs loaded. Reading stopped at line 3: \"5\".\n"
         "Likely cause: the last number has no partner: the count of numbers is odd, and each pair needs two, x and y.\n"
         "What to do: add the missing number or delete the extra one, and check that x and y of the pairs before "
         "it are not mixed up.\n"
         "Note: the pairs do not line up with the lines: line 2 holds 1 number, where the lines before it hold 2 "
         "each, so a pair starts on this line and ends on the next. Numbers are paired two by two in file order "
         "whatever the lines, so x and y may be mixed up, for example by an ID or a height column. Check the "
         "table; if needed, delete the extra column so that each line holds only x and y, then load the file again."},
    };
    for (const Case& c : table) {
        const BatchReadResult read = ReadBatchPairs(c.file);
        EXPECT_EQ(LoadReportWarns(read), c.warns) << c.name;
        EXPECT_EQ(LoadReport(c.file, read), c.message) << c.name;
    }
}

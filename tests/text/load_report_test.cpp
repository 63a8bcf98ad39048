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
        {"bidirectional override and isolate", Bytes("a\xE2\x80\xAE" "b\xE2\x81\xA9"), 0, "a\\u202Eb\\u2069"},
        {"CSI, a C1 control, in UTF-8", Bytes("\xC2\x9B" "31m"), 0, "\\xC2\\x9B31m"},
        {"UTF-16 line end cut after its first byte", Bytes("2\0" "4\0" "\n"), 0, "24"},
    };
    for (const Case& c : table)
        EXPECT_EQ(ReadableExcerpt(c.bytes, c.offset), c.excerpt) << c.name;
}

// Names and option values: the same escapes as the excerpt, backslashes kept.
TEST(LoadReport, TerminalSafeText)
{
    const std::vector<std::pair<std::string, std::string>> table = {
        {"C:\\data\\點位.csv", "C:\\data\\點位.csv"},
        {Bytes("a\x1B[2Jb\x7F"), "a\\x1B[2Jb\\x7F"},
        {Bytes("\xE2\x80\xAA\xE2\x81\xA6x\xC2\x9B"), "\\u202A\\u2066x\\xC2\\x9B"},
        {Bytes("\xB5\xF9.csv"), "\\xB5\\xF9.csv"},
        {Bytes("\xEF\xBB\xBF" "E"), "\\uFEFFE"},
    };
    for (const auto& [text, shown] : table)
        EXPECT_EQ(TerminalSafeText(text), shown) << text;
}

// One report in full; the others by what tells them apart, so that the wording lives in
// one place.
TEST(LoadReport, Messages)
{
    const std::string csv = "1 2\n3,4\n";
    EXPECT_EQ(LoadReport(csv, ReadBatchPairs(csv)),
              "已載入 1 組座標。讀取在第 2 行停止：「3,4」。\n"
              "可能原因：數字之間用了逗號或分號（例如試算表存成的 CSV 檔），或以逗號當作小數點。\n"
              "處理方法：在試算表中另存為「文字檔（Tab 字元分隔）」，或把逗號、分號換成空白；小數點一律寫成「.」。再重新載入。\n\n"
              "1 pair loaded. Reading stopped at line 2: \"3,4\".\n"
              "Likely cause: the numbers are separated by commas or semicolons (as in a CSV file saved by a "
              "spreadsheet), or a comma stands for the decimal point.\n"
              "What to do: save the sheet as \"Text (Tab delimited)\", or replace the commas or semicolons by "
              "blanks; always write the decimal point as \".\". Then load the file again.");

    struct Case {
        const char* name;
        std::string file;
        bool warns;
        std::vector<std::string> holds;  // in this order
    };
    const std::vector<Case> table = {
        {"whole file, lined up", "1 2\n3 4\n", false, {}},
        {"old layout", "1\n2\n", false, {}},
        {"an ID column", "1 247342 2652335\n2 250000 2600000\n", true,
         {"已載入 3 組座標。\n注意：", "第 1 行有 3 個數字（每行應只有一組 x y）。", "\n\n3 pairs loaded.\nNote: ",
          "line 1 holds 3 numbers (a line should hold one pair, x y)."}},
        {"a broken pair, then a lone number", "1 2\n3\n4 5\n", true,
         {"已載入 2 組座標。讀取在第 3 行停止：「5」。\n可能原因：最後一個數字沒有配對",
          "第 2 行有 1 個數字，前面各行每行 2 個，所以有一組從這一行開始、到下一行才結束。",
          "2 pairs loaded. Reading stopped at line 3: \"5\".\nLikely cause: the last number has no partner",
          "line 2 holds 1 number, where the lines before it hold 2 each, so a pair starts on this line and ends on "
          "the next."}},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const BatchReadResult read = ReadBatchPairs(c.file);
        EXPECT_EQ(LoadReportWarns(read), c.warns);
        const std::string report = LoadReport(c.file, read);
        EXPECT_EQ(report.empty(), c.holds.empty()) << report;
        std::size_t from = 0;
        for (const std::string& part : c.holds) {
            const std::size_t at = report.find(part, from);
            EXPECT_NE(at, std::string::npos) << "missing after offset " << from << ": " << part << "\nin: " << report;
            if (at != std::string::npos) from = at + part.size();
        }
    }
}

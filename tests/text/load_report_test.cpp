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

// Files as spreadsheets, editors and map services write them: one message names every
// problem seen around the stop, and its remedy, applied once, gives a file that loads
// right. Checked whole in English, and the Chinese remedy line.
TEST(LoadReport, EveryProblemInOneMessage)
{
    struct Case {
        const char* name;
        std::string file;
        const char* english;         // after the blank line
        const char* chineseRemedy;   // the line starting "處理方法："
    };
    const std::vector<Case> table = {
        {"spreadsheet CSV UTF-8 with names",
         "\xEF\xBB\xBF點名,E,N,備註\r\n台北車站,302133.9,2770624.5,大廳\r\n總統府,301532.1,2769853.3,\r\n",
         "0 pairs loaded. Reading stopped at line 1: \"點名,E,N,備註\".\nProblems found:\n"
         "- line 1 holds only words: a header or a note.\n- names or remarks stand beside the coordinates.\n"
         "- the numbers are separated by commas (a CSV file).\n"
         "What to do: Quickest: in the spreadsheet select only the numbers of the two coordinate columns (without "
         "the header), copy them and press Ctrl+V on the table. Or edit the file: delete line 1; keep only the two "
         "coordinate columns (fields 2 and 3); replace the commas by blanks, so that each line holds only the two "
         "numbers x and y, separated by a blank; for example line 2 \"台北車站,302133.9,2770624.5,大廳\" becomes "
         "\"302133.9 2770624.5\". Then load the file again. On the command line: kartovel-convert --columns 2,3.",
         "處理方法：最快：在試算表中只選取兩個坐標欄的數字（不含標題），複製後在表格上按 Ctrl+V 貼上。或修改檔案："
         "刪除第 1 行；只保留兩個坐標欄（第 2、3 欄）；把逗號換成空白，讓每一行只有 x 與 y 兩個數字、以空白分隔，"
         "例如第 2 行「台北車站,302133.9,2770624.5,大廳」改成「302133.9 2770624.5」。再重新載入。"
         "命令列：kartovel-convert --columns 2,3。"},
        {"quoted CSV", "\"E\",\"N\"\r\n\"247342.5\",\"2652335.2\"\r\n",
         "0 pairs loaded. Reading stopped at line 1: \"\"E\",\"N\"\".\nProblems found:\n"
         "- line 1 holds only words: a header or a note.\n- the numbers are in quotation marks.\n"
         "- the numbers are separated by commas (a CSV file).\n"
         "What to do: delete line 1; remove the quotation marks; replace the commas by blanks, so that each line "
         "holds only the two numbers x and y, separated by a blank; for example line 2 "
         "\"\"247342.5\",\"2652335.2\"\" becomes \"247342.5 2652335.2\". Then load the file again. On the "
         "command line: kartovel-convert --columns 1,2.",
         "處理方法：刪除第 1 行；刪除引號；把逗號換成空白，讓每一行只有 x 與 y 兩個數字、以空白分隔，例如第 2 行"
         "「\"247342.5\",\"2652335.2\"」改成「247342.5 2652335.2」。再重新載入。命令列：kartovel-convert --columns 1,2。"},
        {"UTF-16 Unicode text with a header",
         Bytes("\xFF\xFE" "E\0\t\0N\0\r\0\n\0" "2\0" "4\0" "7\0" "3\0" "4\0" "2\0\t\0" "2\0" "6\0" "5\0" "2\0"
               "3\0" "3\0" "5\0\r\0\n\0"),
         "0 pairs loaded. Reading stopped at line 1: \"E\\tN\".\nProblems found:\n"
         "- the file is UTF-16 text (\"Unicode text\").\n- line 1 holds only words: a header or a note.\n"
         "What to do: save the file as UTF-8 text; delete line 1, so that each line holds only the two numbers x "
         "and y, separated by a blank; for example line 2 \"247342\\t2652335\" becomes \"247342 2652335\". Then "
         "load the file again.",
         "處理方法：把檔案另存為 UTF-8 編碼；刪除第 1 行，讓每一行只有 x 與 y 兩個數字、以空白分隔，例如第 2 行"
         "「247342\\t2652335」改成「247342 2652335」。再重新載入。"},
        {"Big5 header", Bytes("\xC2I\xB8\xB9 E N\r\n247342.5 2652335.2\r\n"),
         "0 pairs loaded. Reading stopped at line 1: \"\\xC2\\x49\\xB8\\xB9 E N\".\nProblems found:\n"
         "- line 1 is not UTF-8 text: probably another encoding, such as Big5.\n"
         "- line 1 holds only words: a header or a note.\n"
         "What to do: delete line 1, so that each line holds only the two numbers x and y, separated by a blank. "
         "Then load the file again.",
         "處理方法：刪除第 1 行，讓每一行只有 x 與 y 兩個數字、以空白分隔。再重新載入。"},
        {"decimal comma with semicolons", "E;N\r\n247342,5;2652335,2\r\n250000;2600000\r\n",
         "0 pairs loaded. Reading stopped at line 1: \"E;N\".\nProblems found:\n"
         "- line 1 holds only words: a header or a note.\n- a comma stands for the decimal point.\n"
         "- the numbers are separated by semicolons (a CSV file).\n"
         "What to do: delete line 1; first replace each decimal comma by a point \".\"; then replace the "
         "semicolons by blanks, so that each line holds only the two numbers x and y, separated by a blank; for "
         "example line 2 \"247342,5;2652335,2\" becomes \"247342.5 2652335.2\". Then load the file again.",
         "處理方法：刪除第 1 行；先把小數點的逗號換成「.」；再把分號換成空白，讓每一行只有 x 與 y 兩個數字、以空白分隔，"
         "例如第 2 行「247342,5;2652335,2」改成「247342.5 2652335.2」。再重新載入。"},
        {"decimal comma with blanks", "247342,5 2652335,2\n",
         "0 pairs loaded. Reading stopped at line 1: \"247342,5 2652335,2\".\nProblems found:\n"
         "- a comma stands for the decimal point.\n"
         "What to do: first replace each decimal comma by a point \".\", so that each line holds only the two "
         "numbers x and y, separated by a blank; for example line 1 \"247342,5 2652335,2\" becomes "
         "\"247342.5 2652335.2\". Then load the file again.",
         "處理方法：先把小數點的逗號換成「.」，讓每一行只有 x 與 y 兩個數字、以空白分隔，例如第 1 行"
         "「247342,5 2652335,2」改成「247342.5 2652335.2」。再重新載入。"},
        {"Google Maps latitude, longitude", "25.04776, 121.51706\r\n23.97564, 120.97388\r\n",
         "0 pairs loaded. Reading stopped at line 1: \"25.04776, 121.51706\".\nProblems found:\n"
         "- the numbers are separated by commas (a CSV file).\n"
         "- the numbers look like latitude before longitude (the order in which Google Maps copies a point); x "
         "must be the longitude.\n"
         "What to do: replace the commas by blanks; swap the two columns, longitude first, so that each line holds "
         "only the two numbers x and y, separated by a blank; for example line 1 \"25.04776, 121.51706\" becomes "
         "\"121.51706 25.04776\". Then load the file again. On the command line: kartovel-convert --to-tm2 "
         "--columns 2,1.",
         "處理方法：把逗號換成空白；把兩欄對調，經度在前，讓每一行只有 x 與 y 兩個數字、以空白分隔，例如第 1 行"
         "「25.04776, 121.51706」改成「121.51706 25.04776」。再重新載入。命令列：kartovel-convert --to-tm2 --columns 2,1。"},
        // A stop that leaves a loadable but wrong table: keeping the two columns comes first,
        // not deleting the lines with words (which would delete every line).
        {"ID column and a remark", "1 247342.5 2652335.2 界樁\n2 250000 2600000\n",
         "1 pair loaded. Reading stopped at line 1: \"2652335.2 界樁\".\nProblems found:\n"
         "- names or remarks stand beside the coordinates.\n"
         "- a line holds 3 numbers: an ID, height or other column, which would pair the numbers wrongly as x and y.\n"
         "What to do: keep only the two coordinate columns, so that each line holds only the two numbers x and y, "
         "separated by a blank; for example line 1 \"1 247342.5 2652335.2 界樁\" becomes \"247342.5 2652335.2\". "
         "Then load the file again.\n"
         "Note: the pairs do not line up with the lines: line 1 holds 3 numbers (a line should hold one pair, x y). "
         "Numbers are paired two by two in file order whatever the lines, so x and y may be mixed up, for example "
         "by an ID or a height column. Check the table; if needed, delete the extra column so that each line holds "
         "only x and y, then load the file again.",
         "處理方法：只保留兩個坐標欄，讓每一行只有 x 與 y 兩個數字、以空白分隔，例如第 1 行「1 247342.5 2652335.2 界樁」"
         "改成「247342.5 2652335.2」。再重新載入。"},
    };
    for (const Case& c : table) {
        const std::string message = LoadReport(c.file, ReadBatchPairs(c.file));
        const std::size_t blank = message.find("\n\n");
        ASSERT_NE(blank, std::string::npos) << c.name << ": " << message;
        EXPECT_EQ(message.substr(blank + 2), c.english) << c.name;
        const std::size_t remedy = message.find("處理方法：");
        ASSERT_NE(remedy, std::string::npos) << c.name;
        EXPECT_EQ(message.substr(remedy, message.find('\n', remedy) - remedy), c.chineseRemedy) << c.name;
    }
}

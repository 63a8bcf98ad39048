// The batch page driven like a user would, offscreen: files are written to a temporary
// folder, chosen through the fake desktop's open dialog, loaded with Button6 and
// converted with Button5. Errors that leave a handler arrive as error boxes.
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <QFile>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextDocument>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "geodesy/ellipsoid.h"
#include "tests/support/fake_desktop.h"
#include "text/conversion.h"
#include "text/number_text.h"
#include "ui/batch_table.h"
#include "ui/file_load.h"
#include "ui/form1.h"
#include "ui/radio_group.h"

using Rows = std::vector<std::string>;  // one "x|y" per data row

class BatchPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDecimalMark(".");
        ASSERT_TRUE(dir.isValid());
        form = std::make_unique<TForm1>(desktop);
    }
    void TearDown() override { SetDecimalMark("."); }

    QString Write(const QByteArray& content)
    {
        const QString path = dir.filePath(QStringLiteral("points%1.txt").arg(++files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    // Chooses `path` in the open dialog and presses "檔案載入".
    void LoadPath(const QString& path)
    {
        desktop.openDialogAnswers.push_back(path);
        form->Button6->click();
    }
    QString Load(const QByteArray& content)
    {
        const QString path = Write(content);
        LoadPath(path);
        return path;
    }
    void Compute() { form->Button5->click(); }
    void Choose(RadioGroup* group, int item) { group->Item(item)->click(); }

    Rows TableRows() const
    {
        Rows rows;
        for (int r = 1; r < form->BatchGrid->RowCount(); ++r)
            rows.push_back(form->BatchGrid->CellText(r, 1) + "|" + form->BatchGrid->CellText(r, 2));
        return rows;
    }
    std::string List() const { return form->Memo2->toPlainText().toStdString(); }
    std::string Header(int column) const { return form->BatchGrid->CellText(0, column); }

    QTemporaryDir dir;
    int files = 0;
    FakeDesktop desktop;
    std::unique_ptr<TForm1> form;
};

static std::string Joined(const QStringList& texts)
{
    return texts.join(QStringLiteral(" / ")).toStdString();
}

// Loading: the texts of the table after one file, with "." as DecimalMark, and whether
// the load reported something (reading stopped before the end of the text, or pairs
// that do not line up with the lines).
struct LoadCase {
    const char* name;
    QByteArray file;
    Rows rows;
    bool reported;
};

TEST_F(BatchPage, LoadShowsEachPairWithFifteenDigits)
{
    const LoadCase cases[] = {
        {"two lines", "247342 2652335\n250000 2652335\n", {"247342|2652335", "250000|2652335"}, false},
        {"three numbers a line", "1 2 3\n4 5 6\n", {"1|2", "3|4", "5|6"}, true},
        {"odd count", "1 2 3\n", {"1|2"}, true},
        {"letters first", "E N\n247342 2652335\n", {}, true},
        {"byte-order mark", "\xEF\xBB\xBF" "247342 2652335\n", {"247342|2652335"}, false},
        {"comma", "121.5,24.5\n", {}, true},
        {"comma on line 2", "1 2\n3,4\n5 6\n", {"1|2"}, true},
        {"number forms", "1e5 2E-2\n+7 .5\n1.500 -2.2500\n5. -0\n", {"100000|0.02", "7|0.5", "1.5|-2.25", "5|0"}, false},
        {"exponent without digit", "1e 2\n", {}, true},
        {"sign starts the next number", "12-3\n", {"12|-3"}, false},
        {"17 significant digits", "1.2345678901234567 247342.12345678901\n", {"1.23456789012346|247342.123456789"}, false},
        {"beyond the double range", "1e400 -1e400\n5e308 1e-400\n", {"INF|-INF", "INF|0"}, false},
        {"no line end at the end", "1 2\n3 4", {"1|2", "3|4"}, false},
        {"Ctrl-Z after the last line", "1 2\r\n\x1A", {"1|2"}, false},
        {"Ctrl-Z hides what follows", "1 2\x1Agarbage 3 4", {"1|2"}, false},
        {"CR line ends", "1 2\r3 4\r", {"1|2", "3|4"}, false},
        {"CR LF line ends", "1 2\r\n3 4\r\n", {"1|2", "3|4"}, false},
        {"tabs and blank lines", "\t1\t\t2\n\n\n\n3\t4\n\n", {"1|2", "3|4"}, false},
        {"empty file", "", {}, false},
        {"blanks only", " \n\t\r\n", {}, false},
    };
    for (const LoadCase& c : cases) {
        desktop.messages.clear();
        desktop.warnings.clear();
        Load(c.file);
        EXPECT_EQ(TableRows(), c.rows) << c.name;
        EXPECT_EQ(form->BatchGrid->RowCount(), static_cast<int>(c.rows.size()) + 1) << c.name;
        EXPECT_EQ(desktop.messages.size() + desktop.warnings.size(), c.reported ? 1 : 0)
            << c.name << ": " << Joined(desktop.messages + desktop.warnings);
        EXPECT_TRUE(desktop.errors.isEmpty()) << c.name << ": " << Joined(desktop.errors);
        for (int r = 1; r < form->BatchGrid->RowCount(); ++r)
            EXPECT_EQ(form->BatchGrid->CellText(r, 0), std::to_string(r)) << c.name;
    }
}

TEST_F(BatchPage, LoadWritesTheDecimalMarkInUse)
{
    SetDecimalMark(",");
    Load("1.5 -2.25e-1\n247342 2652335.125\n");
    EXPECT_EQ(TableRows(), (Rows{"1,5|-0,225", "247342|2652335,125"}));
}

TEST_F(BatchPage, ShorterLoadReplacesLongerOne)
{
    QByteArray ten, five;
    for (int i = 1; i <= 10; ++i)
        ten += QByteArray::number(i) + " " + QByteArray::number(100 + i) + "\n";
    for (int i = 1; i <= 5; ++i)
        five += QByteArray::number(50 + i) + " " + QByteArray::number(500 + i) + "\n";
    Load(ten);
    ASSERT_EQ(form->BatchGrid->RowCount(), 11);
    Load(five);
    EXPECT_EQ(form->BatchGrid->RowCount(), 6);
    EXPECT_EQ(form->BatchGrid->rowCount(), 5);
    EXPECT_EQ(TableRows(), (Rows{"51|501", "52|502", "53|503", "54|504", "55|505"}));
}

TEST_F(BatchPage, LoadLeavesResultListAndHeadersAlone)
{
    Choose(form->RadioGroup3, 1);
    form->Memo2->setPlainText(QStringLiteral("earlier lines"));
    Load("121 23.5\n");
    EXPECT_EQ(List(), "earlier lines");
    EXPECT_EQ(Header(1), "x (經度)");
    EXPECT_EQ(Header(2), "y (緯度)");
    EXPECT_EQ(form->RadioGroup3->ItemIndex(), 1);
}

TEST_F(BatchPage, CancelChangesNothing)
{
    Load("1 2\n3 4\n");
    Compute();
    const std::string list = List();
    form->Button6->click();  // no answer queued: the dialog is cancelled
    EXPECT_EQ(TableRows(), (Rows{"1|2", "3|4"}));
    EXPECT_EQ(List(), list);
    EXPECT_TRUE(desktop.messages.isEmpty()) << Joined(desktop.messages);
    EXPECT_TRUE(desktop.errors.isEmpty()) << Joined(desktop.errors);
}

TEST_F(BatchPage, OpenDialogStartsFromTheFileChosenLast)
{
    const QString first = Write("1 2\n");
    const QString second = Write("3 4\n");
    const QString missing = dir.filePath(QStringLiteral("typed name.txt"));
    // Answers in order: a file, a cancel, another file, a typed name that does not exist.
    LoadPath(first);
    form->Button6->click();
    LoadPath(second);
    LoadPath(missing);
    form->Button6->click();
    EXPECT_EQ(desktop.openDialogStarts, (QStringList{QString(), first, first, second, missing}));
}

// Computing: the lines of a run for a loaded file, direction and datum item.
struct RunCase {
    const char* name;
    QByteArray file;
    int direction;  // RadioGroup3 item
    int datum;      // RadioGroup2 item on the single-point page
    const char* lines;
};

TEST_F(BatchPage, RunGivesOneLinePerRow)
{
    const RunCase cases[] = {
        {"grid to geographic", "247342 2652335\n", 0, 0, "120.97388 23.97564"},
        {"on the central meridian", "250000 2600000\n", 0, 0, "121 23.50307"},
        {"geographic to grid", "121 23.5\n", 1, 0, "250000 2599660.18"},
        {"geographic to grid off the meridian", "120.973 23.97\n", 1, 0, "247252.33 2651709.99"},
        {"all four rows in order", "247342 2652335\n250000 2600000\n", 0, 0, "120.97388 23.97564\n121 23.50307"},
        {"both rows the other way", "121 23.5 120.973 23.97", 1, 0, "250000 2599660.18\n247252.33 2651709.99"},
        {"TWD97 chosen on the first page", "121 23.5\n", 1, 1, "250000 2599651.35"},
    };
    for (const RunCase& c : cases) {
        Choose(form->RadioGroup3, c.direction);
        Choose(form->RadioGroup2, c.datum);
        Load(c.file);
        Compute();
        EXPECT_EQ(List(), c.lines) << c.name;
        EXPECT_TRUE(desktop.errors.isEmpty()) << c.name << ": " << Joined(desktop.errors);
        EXPECT_TRUE(desktop.messages.isEmpty()) << c.name << ": " << Joined(desktop.messages);
    }
}

TEST_F(BatchPage, SecondRunReplacesTheLines)
{
    Load("247342 2652335\n250000 2600000\n250000 2652335\n");
    Compute();
    const std::string once = List();
    Compute();
    EXPECT_EQ(List(), once);
    EXPECT_EQ(form->Memo2->blockCount(), 3);
}

TEST_F(BatchPage, DirectionChangeRelabelsOnly)
{
    Load("121 23.5\n");
    Compute();  // as easting and northing: whatever the projection gives
    const std::string gridLines = List();
    const Rows rows = TableRows();
    struct Step {
        int item;
        const char* x;
        const char* y;
    };
    const Step steps[] = {{1, "x (經度)", "y (緯度)"}, {0, "x (E)", "y (N)"}, {1, "x (經度)", "y (緯度)"}};
    for (const Step& s : steps) {
        Choose(form->RadioGroup3, s.item);
        EXPECT_EQ(Header(0), "編號\\坐標") << s.item;
        EXPECT_EQ(Header(1), s.x) << s.item;
        EXPECT_EQ(Header(2), s.y) << s.item;
        EXPECT_EQ(form->BatchGrid->headerData(1, Qt::Horizontal).toString().toStdString(), s.x);
        EXPECT_EQ(TableRows(), rows) << s.item;
        EXPECT_EQ(List(), gridLines) << s.item;
    }
    // The next run converts the same texts the other way.
    Compute();
    EXPECT_EQ(List(), "250000 2599660.18");
}

// A bad cell ends the run with its parse error; the lines of the rows before it stay.
struct StopCase {
    const char* name;
    QByteArray file;  // empty: the two empty rows present at start
    const char* lines;
    const char* error;
};

TEST_F(BatchPage, RunStopsAtTheFirstBadCell)
{
    const StopCase cases[] = {
        {"empty rows at start", {}, "", "'' is not a valid floating point value."},
        {"INF in row 3 of 5", "121 23.5\n121 23.5\n1e400 23.5\n121 23.5\n121 23.5\n",
         "250000 2599660.18\n250000 2599660.18", "'INF' is not a valid floating point value."},
        {"-INF in column 2", "121 23.5\n121 -1e400\n", "250000 2599660.18",
         "'-INF' is not a valid floating point value."},
        {"both columns bad: column 1 named", "-1e400 1e400\n", "", "'-INF' is not a valid floating point value."},
    };
    for (const StopCase& c : cases) {
        form = std::make_unique<TForm1>(desktop);
        desktop.errors.clear();
        desktop.messages.clear();
        Choose(form->RadioGroup3, 1);
        form->Memo2->setPlainText(QStringLiteral("lines of an earlier run"));
        if (!c.file.isNull())
            Load(c.file);
        Compute();
        EXPECT_EQ(List(), c.lines) << c.name;
        EXPECT_EQ(desktop.errors, QStringList{QString::fromUtf8(c.error)}) << c.name;
        EXPECT_TRUE(desktop.messages.isEmpty()) << c.name << ": " << Joined(desktop.messages);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.name << ": busy cursor left on";
    }
}

TEST_F(BatchPage, NoDirectionLeavesEverythingAlone)
{
    Load("121 23.5\n");
    form->Memo2->setPlainText(QStringLiteral("kept"));
    form->RadioGroup3->SetItemIndex(-1);  // no item selected: raises no click
    form->Button5Click();
    form->RadioGroup3Click();
    EXPECT_EQ(desktop.messages, (QStringList{QStringLiteral("No the other choice"), QStringLiteral("Not avaible")}));
    EXPECT_EQ(List(), "kept");
    EXPECT_EQ(Header(1), "x (E)");
    EXPECT_EQ(Header(2), "y (N)");
}

// The two datum groups are one choice: either moves the other, and the batch run
// computes with it.
struct DatumStep {
    bool batchPage;  // RadioGroup4, else RadioGroup2
    int item;
    const Ellipsoid* ellipsoid;
    const char* line;
};

TEST_F(BatchPage, BothDatumGroupsSetTheOneEllipsoid)
{
    Choose(form->RadioGroup3, 1);
    Load("121 23.5\n");
    const DatumStep steps[] = {
        {true, 1, &kGRS80, "250000 2599651.35"},
        {true, 0, &kGRS67, "250000 2599660.18"},
        {false, 1, &kGRS80, "250000 2599651.35"},
        {true, 0, &kGRS67, "250000 2599660.18"},
        {false, 1, &kGRS80, "250000 2599651.35"},
        {false, 0, &kGRS67, "250000 2599660.18"},
    };
    int n = 0;
    for (const DatumStep& s : steps) {
        ++n;
        Choose(s.batchPage ? form->RadioGroup4 : form->RadioGroup2, s.item);
        EXPECT_EQ(form->RadioGroup2->ItemIndex(), s.item) << "step " << n;
        EXPECT_EQ(form->RadioGroup4->ItemIndex(), s.item) << "step " << n;
        EXPECT_EQ(form->CurrentEllipsoid().SemiMajorAxis, s.ellipsoid->SemiMajorAxis) << "step " << n;
        EXPECT_EQ(form->CurrentEllipsoid().InverseFlattening, s.ellipsoid->InverseFlattening) << "step " << n;
        Compute();
        EXPECT_EQ(List(), s.line) << "step " << n;
    }
    EXPECT_TRUE(desktop.messages.isEmpty()) << Joined(desktop.messages);
    EXPECT_TRUE(desktop.errors.isEmpty()) << Joined(desktop.errors);
}

TEST_F(BatchPage, DatumGroupWithoutSelectionChangesNothing)
{
    Choose(form->RadioGroup4, 1);
    form->RadioGroup4->SetItemIndex(-1);
    form->RadioGroup4Click();
    EXPECT_EQ(desktop.messages, QStringList{QStringLiteral("Not avaible")});
    EXPECT_EQ(form->CurrentEllipsoid().InverseFlattening, kGRS80.InverseFlattening);
    EXPECT_EQ(form->RadioGroup2->ItemIndex(), 1);
}

// A file that cannot be read: an error box naming it and the reason; nothing is lost.
struct UnreadableCase {
    const char* name;
    QString path;
    const char* reason;
};

TEST_F(BatchPage, UnreadableFileIsReportedAndNothingChanges)
{
    const UnreadableCase cases[] = {
        {"missing", dir.filePath(QStringLiteral("no such file.txt")), "No such file or directory"},
        {"folder", dir.path(), "directory"},
    };
    Choose(form->RadioGroup3, 1);
    Load("121 23.5\n120.973 23.97\n");
    Compute();
    const Rows rows = TableRows();
    const std::string list = List();
    for (const UnreadableCase& c : cases) {
        desktop.errors.clear();
        LoadPath(c.path);
        ASSERT_EQ(desktop.errors.size(), 1) << c.name;
        const QString& error = desktop.errors.front();
        EXPECT_TRUE(error.contains(c.path)) << c.name << ": " << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.reason), Qt::CaseInsensitive)) << c.name << ": " << error.toStdString();
        EXPECT_EQ(TableRows(), rows) << c.name;
        EXPECT_EQ(form->BatchGrid->RowCount(), 3) << c.name;
        EXPECT_EQ(List(), list) << c.name;
        EXPECT_TRUE(desktop.messages.isEmpty()) << c.name << ": " << Joined(desktop.messages);
    }
}

TEST_F(BatchPage, HeaderStaysAHeaderAfterAnEmptyLoad)
{
    Load("E N\n");
    EXPECT_EQ(form->BatchGrid->RowCount(), 1);
    EXPECT_EQ(form->BatchGrid->rowCount(), 0);  // no selectable row at all
    EXPECT_FALSE(form->StringGrid1->horizontalHeader()->isHidden());
    Compute();
    EXPECT_EQ(List(), "");
    EXPECT_TRUE(desktop.errors.isEmpty()) << Joined(desktop.errors);

    Choose(form->RadioGroup3, 1);
    EXPECT_EQ(Header(1), "x (經度)");
    Load("121 23.5\n");
    EXPECT_EQ(form->BatchGrid->RowCount(), 2);
    EXPECT_EQ(form->BatchGrid->rowCount(), 1);
    // Model row 0 is data row 1, not the header.
    EXPECT_EQ(form->BatchGrid->data(form->BatchGrid->index(0, 1)).toString(), QStringLiteral("121"));
    EXPECT_EQ(form->BatchGrid->headerData(1, Qt::Horizontal).toString(), QStringLiteral("x (經度)"));
    Compute();
    EXPECT_EQ(List(), "250000 2599660.18");
}

// A load that stopped before the end of the text says how much it loaded and where:
// the line and the text found there as readable text (bytes that are not text written
// as \xHH), first in Chinese, then in English, each followed by the likely cause.
struct PartialCase {
    const char* name;
    QByteArray file;
    const char* chinese;
    const char* english;
    const char* cause;
};

TEST_F(BatchPage, PartialReadIsReported)
{
    const PartialCase cases[] = {
        {"comma on line 2", "1 2\n3,4\n5 6\n", "已載入 1 組座標。讀取在第 2 行停止：「3,4」。",
         "1 pair loaded. Reading stopped at line 2: \"3,4\".", "Likely cause: the numbers are separated by commas"},
        {"letters on line 4", "1 2\r\n3 4\r\n5 6\r\nEND\r\n", "已載入 3 組座標。讀取在第 4 行停止：「END」。",
         "3 pairs loaded. Reading stopped at line 4: \"END\".", "Likely cause: the line holds words"},
        {"nothing readable", "E N\n", "已載入 0 組座標。讀取在第 1 行停止：「E N」。",
         "0 pairs loaded. Reading stopped at line 1: \"E N\".", "Likely cause: the line holds words"},
        {"exponent without digit", "1 2\n\n7e x\n", "已載入 1 組座標。讀取在第 3 行停止：「7e x」。",
         "1 pair loaded. Reading stopped at line 3: \"7e x\".", "Likely cause: a number here is incomplete"},
        {"lone last number", "1 2\n3 4\n5\n", "已載入 2 組座標。讀取在第 3 行停止：「5」。",
         "2 pairs loaded. Reading stopped at line 3: \"5\".", "Likely cause: the last number has no partner"},
        {"CR-only line ends", "1 2\r3 4\r;\r", "已載入 2 組座標。讀取在第 3 行停止：「;」。",
         "2 pairs loaded. Reading stopped at line 3: \";\".", "Likely cause: the numbers are separated by commas"},
        {"byte-order mark inside", "1 2\n\xEF\xBB\xBF" "3 4", "已載入 1 組座標。讀取在第 2 行停止：「\\xEF\\xBB\\xBF3 4」。",
         "1 pair loaded. Reading stopped at line 2: \"\\xEF\\xBB\\xBF3 4\".", "Likely cause: a byte-order mark stands inside"},
        {"double-byte space", "1 2 \xE3\x80\x80 3 4", "已載入 1 組座標。讀取在第 1 行停止：「　 3 4」。",
         "1 pair loaded. Reading stopped at line 1: \"　 3 4\".", "Likely cause: full-width characters are used"},
        {"UTF-16", QByteArray("\xFF\xFE" "1\0 \0" "2\0", 8), "已載入 0 組座標。讀取在第 1 行停止：「1 2」。",
         "0 pairs loaded. Reading stopped at line 1: \"1 2\".", "Likely cause: the file is UTF-16 text"},
        {"Big5 after the data", "1 2\n\xAA\x46 \xA5\x5F\n", "已載入 1 組座標。讀取在第 2 行停止：「\\xAA\\x46 \\xA5\\x5F」。",
         "1 pair loaded. Reading stopped at line 2: \"\\xAA\\x46 \\xA5\\x5F\".", "Likely cause: the line is not UTF-8 text"},
    };
    for (const PartialCase& c : cases) {
        desktop.messages.clear();
        Load(c.file);
        ASSERT_EQ(desktop.messages.size(), 1) << c.name << ": " << Joined(desktop.messages);
        const QStringList lines = desktop.messages.front().split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 7) << c.name << ": " << desktop.messages.front().toStdString();
        EXPECT_EQ(lines[0].toStdString(), c.chinese) << c.name;
        EXPECT_TRUE(lines[1].startsWith(QStringLiteral("可能原因："))) << c.name;
        EXPECT_TRUE(lines[2].startsWith(QStringLiteral("處理方法："))) << c.name;
        EXPECT_EQ(lines[4].toStdString(), c.english) << c.name;
        EXPECT_TRUE(lines[5].startsWith(QString::fromUtf8(c.cause))) << c.name << ": " << lines[5].toStdString();
        EXPECT_TRUE(lines[6].startsWith(QStringLiteral("What to do: "))) << c.name;
        EXPECT_TRUE(desktop.errors.isEmpty()) << c.name;
        EXPECT_TRUE(desktop.warnings.isEmpty()) << c.name;
    }
}

// Pairs that do not line up with the lines still load, then a warning box says where the
// pattern breaks; one number on every line is the old layout and loads without a word.
TEST_F(BatchPage, MisalignedPairsWarn)
{
    struct Case {
        const char* name;
        QByteArray file;
        Rows rows;
        const char* chinese;  // "" when no warning is due
        const char* english;
    };
    const Case cases[] = {
        {"an ID column", "1 247342 2652335\n2 250000 2600000\n", {"1|247342", "2652335|2", "250000|2600000"},
         "注意：數字沒有排成每行一組：第 1 行有 3 個數字（每行應只有一組 x y）。",
         "Note: the pairs do not line up with the lines: line 1 holds 3 numbers (a line should hold one pair, x y)."},
        {"a pair over two lines", "1 2\n3\n4\n", {"1|2", "3|4"},
         "注意：數字沒有排成每行一組：第 2 行有 1 個數字，前面各行每行 2 個，所以有一組從這一行開始、到下一行才結束。",
         "Note: the pairs do not line up with the lines: line 2 holds 1 number, where the lines before it hold 2 "
         "each, so a pair starts on this line and ends on the next."},
        {"old layout", "247342\n2652335\n250000\n2600000\n", {"247342|2652335", "250000|2600000"}, "", ""},
    };
    for (const Case& c : cases) {
        desktop.warnings.clear();
        Load(c.file);
        EXPECT_EQ(TableRows(), c.rows) << c.name;
        EXPECT_TRUE(desktop.messages.isEmpty()) << c.name << ": " << Joined(desktop.messages);
        if (*c.chinese == 0) {
            EXPECT_TRUE(desktop.warnings.isEmpty()) << c.name << ": " << Joined(desktop.warnings);
            continue;
        }
        ASSERT_EQ(desktop.warnings.size(), 1) << c.name;
        const QStringList lines = desktop.warnings.front().split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 5) << c.name << ": " << desktop.warnings.front().toStdString();
        EXPECT_TRUE(lines[1].startsWith(QString::fromUtf8(c.chinese))) << c.name << ": " << lines[1].toStdString();
        EXPECT_TRUE(lines[4].startsWith(QString::fromUtf8(c.english))) << c.name << ": " << lines[4].toStdString();
        EXPECT_TRUE(lines[4].contains(QStringLiteral("x and y may be mixed up"))) << c.name;
    }
}

// Only regular files are read: a folder, a named pipe or a device gets the error box
// naming it, and the table, its row count and the result list stay as they were.
TEST_F(BatchPage, NotARegularFileIsRefused)
{
    const QString fifo = dir.filePath(QStringLiteral("pipe 管道"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Case {
        QString path;
        const char* kind;
    };
    const Case cases[] = {
        {dir.path(), "it is a folder (directory)"},
        {fifo, "it is a named pipe (FIFO)"},
        {QStringLiteral("/dev/zero"), "it is a device"},
    };
    Choose(form->RadioGroup3, 1);
    Load("121 23.5\n120.973 23.97\n");
    Compute();
    const std::string list = List();
    for (const Case& c : cases) {
        desktop.errors.clear();
        LoadPath(c.path);
        const QString expected = QStringLiteral("%1 is not a regular file: %2. Choose a text file of number pairs.")
                                     .arg(c.path, QString::fromUtf8(c.kind));
        ASSERT_EQ(desktop.errors.size(), 1) << c.kind;
        const QStringList lines = desktop.errors.front().split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2) << desktop.errors.front().toStdString();
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("「%1」不是一般檔案").arg(c.path))) << lines[0].toStdString();
        EXPECT_EQ(lines[1], expected);
        EXPECT_EQ(TableRows(), (Rows{"121|23.5", "120.973|23.97"})) << c.kind;
        EXPECT_EQ(form->BatchGrid->RowCount(), 3) << c.kind;
        EXPECT_EQ(List(), list) << c.kind;
        EXPECT_TRUE(desktop.messages.isEmpty()) << Joined(desktop.messages);
    }
}

TEST_F(BatchPage, TableLooksLikeTheGrid)
{
    QHeaderView* columns = form->StringGrid1->horizontalHeader();
    QHeaderView* rows = form->StringGrid1->verticalHeader();
    const int widths[] = {60, 100, 100};
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(columns->sectionSize(column), widths[column]) << "column " << column;
        EXPECT_EQ(columns->sectionResizeMode(column), QHeaderView::Fixed) << "column " << column;
    }
    EXPECT_EQ(rows->defaultSectionSize(), 16);
    EXPECT_EQ(rows->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_TRUE(rows->isHidden());
    EXPECT_FALSE(columns->sectionsMovable());
    EXPECT_TRUE(form->StringGrid1->showGrid());
    EXPECT_EQ(form->StringGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(form->StringGrid1->model(), form->BatchGrid);
}

// A long run fills the list in slices, several lines to a block beyond 100000 lines; the
// text reads back the same, and a bad cell still keeps the lines before it.
TEST_F(BatchPage, LongRunKeepsEveryLine)
{
    const int rows = 120000, bad = 110000;
    QByteArray file;
    for (int r = 1; r <= rows; ++r)
        file += r == bad ? "1e400 23.5\n" : "121 23.5\n";
    Choose(form->RadioGroup3, 1);
    Load(file);
    Compute();
    const QString text = form->Memo2->toPlainText();
    EXPECT_EQ(text.count(QLatin1Char('\n')), bad - 2);
    EXPECT_EQ(text.split(QLatin1Char('\n')).filter(QStringLiteral("250000 2599660.18")).size(), bad - 1);
    EXPECT_EQ(form->Memo2->document()->lineCount(), bad - 1);
    EXPECT_EQ(desktop.errors, QStringList{QStringLiteral("'INF' is not a valid floating point value.")});
    EXPECT_TRUE(form->Memo2->document()->isUndoRedoEnabled());
}

// A file that another program cuts or extends while the window loads it: a test thread
// changes it between two reads of the load (right after the open, or after the first
// 8 MiB piece). The table keeps whole rows only, and a warning box tells what happened.
TEST_F(BatchPage, FileThatChangesSizeWhileLoaded)
{
    const QByteArray row = "247342.5 2652335.25\n";  // 20 bytes
    const QByteArray big = row.repeated((9 << 20) / 20);
    const qsizetype bigCut = (8 << 20) + 13;           // 1 byte into row 419432
    struct Case {
        const char* name;
        QByteArray file;
        qint64 at;            // bytes read when the file changes
        qint64 cutTo;         // its new size, or -1
        QByteArray appended;  // or bytes added at its end
        Rows rows;            // expected, or empty with `rowCount`
        int rowCount;
        const char* message;  // with {path}, {size} (when opened), {read} and {rows}
        bool note;            // the load's own report follows (here: not one pair a line)
    };
    const char* cutShort = "檔案「{path}」在載入時變短了：開啟時有 {size} 位元組，只讀到 {read} 位元組。表格只有變短前讀到的 {rows} 組完整坐標。"
                           "請等檔案寫完後再載入一次。\nThe file {path} became shorter while it was loaded: it had {size} bytes "
                           "when opened, and only {read} could be read. The table holds the {rows} whole pairs read before the "
                           "change. Load it again once nothing writes to it.";
    const char* grew = "檔案「{path}」在載入時變大了：只載入開啟時的 {size} 位元組，共 {rows} 組坐標；之後加入的內容沒有載入。"
                       "請等檔案寫完後再載入一次。\nThe file {path} grew while it was loaded: only the {size} bytes it had when "
                       "opened were loaded, {rows} pairs; what was added later was not. Load it again once nothing writes "
                       "to it.";
    const Case cases[] = {
        {"cut inside a number", "247342 2652335\n250000 2646479.53\n", 0, 28, "", {"247342|2652335"}, 1, cutShort, false},
        {"cut at a line end", "1 2\r\n3 4\r\n5 6\r\n", 0, 10, "", {"1|2", "3|4"}, 2, cutShort, false},
        {"cut to nothing", "1 2\n", 0, 0, "", {}, 0, cutShort, false},
        {"one line cut", "1 2 3 4 5 6", 0, 9, "", {"1|2", "3|4"}, 2, cutShort, true},
        {"cut after the first piece", big, 8 << 20, bigCut, "", {}, static_cast<int>(bigCut / 20), cutShort, false},
        {"grown by a line", "247342 2652335\n", 0, -1, "250000 2600000\n", {"247342|2652335"}, 1, grew, false},
        {"grown inside a number", "247342 2652335\n250000 264647", 0, -1, "9.53\n", {"247342|2652335"}, 1, grew, false},
        {"grown after a blank", "1 2 3 4", 0, -1, " 5 6\n", {"1|2", "3|4"}, 2, grew, true},
        {"grown after the last piece", big, big.size(), -1, row.repeated(1000), {}, static_cast<int>(big.size() / 20),
         grew, false},
    };
    for (const Case& c : cases) {
        desktop.warnings.clear();
        desktop.messages.clear();
        const QString path = Write(c.file);
        const std::string native = path.toStdString();
        gFileReadObserver = [&](qint64 read) {
            if (read != c.at) return;
            std::thread writer([&] {
                if (c.cutTo >= 0) {
                    ASSERT_EQ(truncate(native.c_str(), c.cutTo), 0);
                } else {
                    QFile file(path);
                    ASSERT_TRUE(file.open(QIODevice::Append));
                    file.write(c.appended);
                }
            });
            writer.join();
        };
        LoadPath(path);
        gFileReadObserver = nullptr;
        EXPECT_EQ(form->BatchGrid->RowCount() - 1, c.rowCount) << c.name;
        if (!c.rows.empty() || c.rowCount == 0)
            EXPECT_EQ(TableRows(), c.rows) << c.name;
        else
            EXPECT_EQ(form->BatchGrid->CellText(c.rowCount, 2), "2652335.25") << c.name;
        const qint64 read = c.cutTo >= 0 ? c.cutTo : c.file.size();
        const QString expected = QString::fromUtf8(c.message)
                                     .replace(QStringLiteral("{path}"), path)
                                     .replace(QStringLiteral("{size}"), QString::number(c.file.size()))
                                     .replace(QStringLiteral("{read}"), QString::number(read))
                                     .replace(QStringLiteral("{rows}"), QString::number(c.rowCount));
        const QString warning = desktop.warnings.join(QStringLiteral(" / "));
        EXPECT_EQ(warning.left(expected.size()).toStdString(), expected.toStdString()) << c.name;
        EXPECT_EQ(warning.mid(expected.size(), 9).toStdString(), c.note ? "\n\n已載入 2 組" : "") << c.name;
        EXPECT_TRUE(desktop.messages.isEmpty() && desktop.errors.isEmpty()) << c.name << ": " << Joined(desktop.messages);
    }
}

// The realistic files of tests/batch_page/files, as spreadsheets, editors and map
// services write them.
static QByteArray RealFile(const char* name)
{
    QFile file(QStringLiteral(KARTOVEL_TEST_FILES "/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// What a load left: the rows and every box shown.
struct LoadOutcome {
    Rows rows;
    QStringList boxes;
    bool operator==(const LoadOutcome&) const = default;
};

// Ctrl+V on the table, or the table's context-menu item, loads the clipboard's text as a
// file holding that text loads: the same rows, the same messages.
TEST_F(BatchPage, PasteLoadsAsTheFileWould)
{
    struct Case {
        const char* name;
        QByteArray text;
        Rows rows;
    };
    const Case cases[] = {
        {"two spreadsheet columns", "247342.5\t2652335.2\r\n250000\t2600000\r\n",
         {"247342.5|2652335.2", "250000|2600000"}},
        {"spreadsheet CSV with names", RealFile("spreadsheet_names.csv"), {}},
        {"quoted CSV", RealFile("quoted.csv"), {}},
        {"decimal comma", RealFile("decimal_comma.csv"), {}},
        {"ID column", RealFile("id_column.txt"), {"1|247342.5", "2652335.2|2", "250000|2600000", "3|302133.9"}},
        {"Google Maps", RealFile("google_maps.txt"), {}},
    };
    const auto outcome = [&] {
        LoadOutcome seen{TableRows(), desktop.messages + desktop.warnings + desktop.errors};
        desktop.messages.clear();
        desktop.warnings.clear();
        desktop.errors.clear();
        return seen;
    };
    QAction* pasteItem = form->StringGrid1->actions().value(1);
    ASSERT_TRUE(pasteItem);
    EXPECT_TRUE(pasteItem->text().startsWith(QStringLiteral("貼上 Paste\t")));
    for (const Case& c : cases) {
        Load(c.text);
        const LoadOutcome fromFile = outcome();
        EXPECT_EQ(fromFile.rows, c.rows) << c.name;

        Load("9 9\n");
        outcome();
        desktop.clipboardText = QString::fromUtf8(c.text);
        QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(form->StringGrid1, &paste);
        EXPECT_EQ(outcome(), fromFile) << c.name;

        Load("9 9\n");
        outcome();
        pasteItem->trigger();
        EXPECT_EQ(outcome(), fromFile) << c.name << " (menu)";
    }
    // An empty clipboard leaves the table as it was and says so.
    Load("9 9\n");
    outcome();
    desktop.clipboardText = QStringLiteral(" \r\n");
    form->StringGrid1Paste();
    EXPECT_EQ(TableRows(), Rows{"9|9"});
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(desktop.messages.front().startsWith(QStringLiteral("剪貼簿裡沒有文字，表格沒有改變。")));
}

// A file dropped on the table or anywhere on the window loads as "檔案載入" with that
// file would; anything but one local file is not taken.
TEST_F(BatchPage, DropLoadsOneFile)
{
    const QString good = Write("247342 2652335\n");
    const QString other = Write("121 23.5\n");
    struct Case {
        const char* name;
        QList<QUrl> urls;
        QWidget* target;
        bool accepted;
        Rows rows;
        int errors;
    };
    const Case cases[] = {
        {"file on the table", {QUrl::fromLocalFile(good)}, form->StringGrid1->viewport(), true, {"247342|2652335"}, 0},
        {"file on the result list's group", {QUrl::fromLocalFile(other)}, form->GroupBox4, true, {"121|23.5"}, 0},
        {"file on the result list", {QUrl::fromLocalFile(good)}, form->Memo2->viewport(), true, {"247342|2652335"}, 0},
        {"file on an input box", {QUrl::fromLocalFile(other)}, form->Edit1, true, {"121|23.5"}, 0},
        {"folder: not a regular file", {QUrl::fromLocalFile(dir.path())}, form->StringGrid1->viewport(), true,
         {"121|23.5"}, 1},
        {"two files", {QUrl::fromLocalFile(good), QUrl::fromLocalFile(other)}, form->GroupBox3, false, {"121|23.5"}, 0},
        {"a web address", {QUrl(QStringLiteral("https://www.example.org/points.txt"))}, form->GroupBox3, false,
         {"121|23.5"}, 0},
    };
    form->PageControl1->setCurrentWidget(form->TabSheet2);
    for (const Case& c : cases) {
        desktop.errors.clear();
        QMimeData data;
        data.setUrls(c.urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.target, &enter);
        EXPECT_EQ(enter.isAccepted(), c.accepted) << c.name;
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.target, &drop);
        EXPECT_EQ(TableRows(), c.rows) << c.name;
        EXPECT_EQ(desktop.errors.size(), c.errors) << c.name << ": " << Joined(desktop.errors);
    }
    // The file dropped last is where the open dialog starts next.
    form->Button6->click();
    EXPECT_EQ(desktop.openDialogStarts.value(0), dir.path());
}

// After "計算", rows outside Taiwan's area get one warning; their lines stay as computed.
TEST_F(BatchPage, AreaNoticeAfterComputing)
{
    struct Case {
        const char* name;
        int direction;
        QByteArray file;
        const char* notice;  // the start of the English half; "" for no warning
    };
    const Case cases[] = {
        {"inside", 1, "121 23.5\n", ""},
        {"Google Maps order", 1, "121 23.5\n25.04776 121.51706\n",
         "Note: 1 row lies outside Taiwan's area, the first is row 2 (longitude 117 to 124, latitude 20 to 27 "
         "degrees). Their results are listed as computed. They look like latitude before longitude"},
        {"degrees computed as grid", 0, "121 23.5\n",
         "Note: 1 row lies outside Taiwan's area, the first is row 1 (E 0 to 500000 m, N 2300000 to 2900000 m). "
         "Their results are listed as computed. Are they longitude and latitude?"},
    };
    for (const Case& c : cases) {
        desktop.warnings.clear();
        Choose(form->RadioGroup3, c.direction);
        Load(c.file);
        Compute();
        // Every line as the conversion gives it, outside or not.
        std::string lines;
        for (const std::string& row : TableRows()) {
            if (!lines.empty())
                lines += '\n';
            lines += BatchResultLine(static_cast<ConversionMode>(c.direction), kGRS67, row.substr(0, row.find('|')),
                                     row.substr(row.find('|') + 1));
        }
        EXPECT_EQ(List(), lines) << c.name;
        EXPECT_TRUE(desktop.errors.isEmpty()) << c.name << ": " << Joined(desktop.errors);
        if (*c.notice == 0) {
            EXPECT_TRUE(desktop.warnings.isEmpty()) << c.name << ": " << Joined(desktop.warnings);
            continue;
        }
        ASSERT_EQ(desktop.warnings.size(), 1) << c.name;
        const QString warning = desktop.warnings.front();
        EXPECT_TRUE(warning.startsWith(QStringLiteral("注意："))) << c.name;
        EXPECT_TRUE(warning.section(QStringLiteral("\n\n"), 1).startsWith(QString::fromUtf8(c.notice)))
            << c.name << ": " << warning.toStdString();
    }
}

// The batch page: a file of number pairs is loaded into BatchGrid as texts, and the
// compute button parses those texts back row by row into one result line per row.
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include <QAbstractItemView>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QTableView>

#include "batch_table.h"
#include "desktop.h"
#include "form1.h"
#include "grid_view.h"
#include "progress.h"
#include "radio_group.h"
#include "text/batch_reader.h"
#include "text/conversion.h"

// Row height and column widths of the table, in pixels.
static constexpr int kGridRowHeight = 16;
static constexpr int kGridColumnWidths[BatchTable::kColumns] = {60, 100, 100};
// About as many result lines as the list takes in half a second.
static constexpr int kLinesShownQuickly = 100000;

void TForm1::BuildBatchPage()
{
    RadioGroup3 = new RadioGroup(QStringLiteral("Step1 選擇轉換方式"),
                                 {QStringLiteral("１．ＴＭ２轉經緯度"), QStringLiteral("２．經緯度轉ＴＭ２")},
                                 TabSheet2);
    RadioGroup3->setObjectName(QStringLiteral("RadioGroup3"));
    RadioGroup3->setGeometry(8, 8, 217, 185);
    RadioGroup3->SetItemIndex(0);

    RadioGroup4 = new RadioGroup(QStringLiteral("Step2 選擇地球參考橢球體之地球原子"),
                                 {QStringLiteral("１．GRS67,TWD67(虎子山)"), QStringLiteral("２．GRS80,TWD97")},
                                 TabSheet2);
    RadioGroup4->setObjectName(QStringLiteral("RadioGroup4"));
    RadioGroup4->setGeometry(8, 200, 217, 161);
    RadioGroup4->SetItemIndex(0);

    GroupBox3 = new QGroupBox(QStringLiteral("Step3資料載入  E N   or   經緯度"), TabSheet2);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setGeometry(240, 8, 345, 185);

    Button6 = new QPushButton(QStringLiteral("檔案載入"), GroupBox3);
    Button6->setObjectName(QStringLiteral("Button6"));
    Button6->setGeometry(16, 16, 321, 25);

    // The table: header texts "編號\坐標", "x (E)", "y (N)" and two empty data rows
    // come with the model; the header row is the view's horizontal header and column 0
    // (the row numbers) stands in for the row header.
    BatchGrid = new BatchTable(this);
    StringGrid1 = new QTableView(GroupBox3);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setGeometry(16, 48, 321, 129);
    StringGrid1->setModel(BatchGrid);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    StringGrid1->setShowGrid(true);
    StringGrid1->setWordWrap(false);
    // Long texts are cut at the column's edge, as a classic grid does, not shortened with "…".
    StringGrid1->setTextElideMode(Qt::ElideNone);
    // Tab leaves the table for the next control instead of walking its cells.
    StringGrid1->setTabKeyNavigation(false);
    StringGrid1->setAccessibleName(QStringLiteral("坐標資料表 Coordinate table"));
    StringGrid1->setCornerButtonEnabled(false);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    QHeaderView* rows = StringGrid1->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);  // also keeps a million rows cheap
    rows->setDefaultSectionSize(kGridRowHeight);

    QHeaderView* columns = StringGrid1->horizontalHeader();
    columns->setMinimumSectionSize(1);
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setSectionsMovable(false);
    columns->setSectionsClickable(false);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setTextElideMode(Qt::ElideNone);
    columns->setFixedHeight(kGridRowHeight);  // the header row is a row like the others
    auto* headerStyle = new GridHeaderStyle(QStyleFactory::create(StringGrid1->style()->name()));
    headerStyle->setParent(columns);
    columns->setStyle(headerStyle);
    for (int column = 0; column < BatchTable::kColumns; ++column)
        columns->resizeSection(column, kGridColumnWidths[column]);

    Button5 = new QPushButton(QStringLiteral("計算"), TabSheet2);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button5->setGeometry(240, 208, 345, 25);

    GroupBox4 = new QGroupBox(QStringLiteral("Result結果"), TabSheet2);
    GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
    GroupBox4->setGeometry(240, 240, 345, 121);

    Memo2 = new QPlainTextEdit(GroupBox4);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setGeometry(16, 16, 321, 97);
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setTabChangesFocus(true);
    Memo2->setAccessibleName(QStringLiteral("計算結果清單 Result list"));
}

static QString PairCountText(std::size_t n)
{
    return n == 1 ? QStringLiteral("1 pair") : QStringLiteral("%1 pairs").arg(n);
}

void TForm1::Button6Click()
{
    const std::optional<QString> chosen = desktop_.GetOpenFileName(openDialogFile_);
    if (!chosen)
        return;
    openDialogFile_ = *chosen;

    // Read access only; the file is closed again before anything is shown.
    QByteArray bytes;
    {
        QFile file(*chosen);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            // Nothing is lost: the table and the result list stay as they were.
            desktop_.ShowError(QStringLiteral("Cannot read the file %1: %2.")
                                   .arg(QDir::toNativeSeparators(*chosen), file.errorString()));
            return;
        }
    }

    BatchReadResult read;
    {
        // Ends before any message: no busy cursor or progress dialog over it.
        BusyProgress progress(this);
        progress.Stage(QStringLiteral("Reading the file…"), 1);
        read = ReadBatchPairs(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        bytes = QByteArray();

        // Each number is shown with 15 significant digits; the compute button reads these
        // texts back, so they are all that is kept of the file.
        const std::size_t n = read.pairs.size();
        progress.Stage(QStringLiteral("Loading %1 into the table…").arg(PairCountText(n)),
                       static_cast<long long>(n));
        BatchTableTexts texts;
        texts.Reserve(n, n * 24);
        for (std::size_t i = 0; i < n; ++i) {
            texts.Append(BatchCellText(read.pairs[i].x), BatchCellText(read.pairs[i].y));
            progress.Advance(static_cast<long long>(i));
        }
        BatchGrid->Load(std::move(texts));
    }

    // Reading stopped before the end of the text: say so, and where.
    if (read.stoppedEarly)
        desktop_.ShowMessage(QStringLiteral("%1 loaded. Reading stopped at line %2: \"%3\".")
                                 .arg(PairCountText(read.pairs.size()))
                                 .arg(read.stopLine)
                                 .arg(QString::fromStdString(read.stopExcerpt)));
}

void TForm1::RadioGroup3Click()
{
    switch (RadioGroup3->ItemIndex()) {
    case TM2ToGeographic:
        BatchGrid->SetCoordinateHeaders(QStringLiteral("x (E)"), QStringLiteral("y (N)"));
        break;
    case GeographicToTM2:
        BatchGrid->SetCoordinateHeaders(QStringLiteral("x (經度)"), QStringLiteral("y (緯度)"));
        break;
    default:
        desktop_.ShowMessage(QStringLiteral("Not avaible"));
        break;
    }
}

void TForm1::RadioGroup4Click()
{
    // The batch page's datum choice and the single-point page's are one choice: both
    // groups show and set the window's current ellipsoid.
    const int index = RadioGroup4->ItemIndex();
    if (index != 0 && index != 1) {
        desktop_.ShowMessage(QStringLiteral("Not avaible"));
        return;
    }
    SelectEllipsoid(index);
}

// Collects the result lines of a run and writes them into the result list when it goes
// out of scope, so that a run stopped by a bad cell still shows the lines of the rows
// before it. The list gets the joined text in one insertion: a million separate
// appends would take minutes.
class BatchResultLines {
public:
    explicit BatchResultLines(QPlainTextEdit* list) : list_(list) {}
    ~BatchResultLines()
    {
        if (!lines_.empty())
            list_->setPlainText(QString::fromUtf8(lines_.data(), static_cast<qsizetype>(lines_.size())));
    }
    BatchResultLines(const BatchResultLines&) = delete;
    BatchResultLines& operator=(const BatchResultLines&) = delete;

    void Reserve(std::size_t bytes) { lines_.reserve(bytes); }
    void Add(const std::string& line)
    {
        if (!lines_.empty())
            lines_ += '\n';
        lines_ += line;
    }

private:
    QPlainTextEdit* list_;
    std::string lines_;
};

void TForm1::Button5Click()
{
    // The direction and the ellipsoid in force now apply to the whole run.
    const int mode = RadioGroup3->ItemIndex();
    if (mode != TM2ToGeographic && mode != GeographicToTM2) {
        desktop_.ShowMessage(QStringLiteral("No the other choice"));
        return;
    }
    Memo2->clear();

    const int rowCount = BatchGrid->RowCount();
    BusyProgress progress(this);
    progress.Stage(QStringLiteral("Computing %1 rows…").arg(rowCount - 1), rowCount - 1);
    // Destroyed before progress: the dialog stays up while the list takes the lines.
    BatchResultLines lines(Memo2);
    lines.Reserve(static_cast<std::size_t>(rowCount - 1) * 24);

    // Each cell is parsed as it stands, column 1 before column 2; a bad text ends the
    // run here with its parse error, the lines of the rows before it kept.
    const auto direction = static_cast<ConversionMode>(mode);
    for (int r = 1; r < rowCount; ++r) {
        lines.Add(BatchResultLine(direction, ellipsoid_, BatchGrid->CoordinateText(r, 1),
                                  BatchGrid->CoordinateText(r, 2)));
        progress.Advance(r);
    }
    progress.Stage(QStringLiteral("Showing the results…"), 1);
    // The list takes its lines in one insertion of a few microseconds per line, with no
    // progress to report: show the dialog beforehand when that alone is long.
    if (rowCount > kLinesShownQuickly)
        progress.ShowNow();
}

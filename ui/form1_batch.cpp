// The batch page: a file of number pairs is loaded into BatchGrid as texts, and the
// compute button parses those texts back row by row into one result line per row.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include <sys/stat.h>

#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QByteArray>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QTableView>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "batch_table.h"
#include "desktop.h"
#include "error_report.h"
#include "file_load.h"
#include "form1.h"
#include "grid_view.h"
#include "progress.h"
#include "radio_group.h"
#include "text/batch_reader.h"
#include "text/conversion.h"
#include "text/load_report.h"
#include "text/taiwan_area.h"

// Row height and column widths of the table, in pixels.
static constexpr int kGridRowHeight = 16;
static constexpr int kGridColumnWidths[BatchTable::kColumns] = {60, 100, 100};

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
    new CurrentCellFollowsFocus(StringGrid1);
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

// Why a path is not a file that can be loaded: the kind of thing it names when that is
// not a regular file, or nothing (a regular file, or a path that cannot be looked at,
// which the open then reports). Looked at before opening, since opening a named pipe
// waits for a writer for ever and a device such as /dev/zero never ends.
static std::optional<QString> NotRegularFileKind(const QString& path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return std::nullopt;
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("資料夾 / a folder (directory)");
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("具名管道 / a named pipe (FIFO)");
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return QStringLiteral("裝置 / a device");
#ifdef S_ISSOCK  // Windows (MinGW-w64) has no sockets among its file kinds
    if (S_ISSOCK(status.st_mode))
        return QStringLiteral("通訊端 / a socket");
#endif
    return QStringLiteral("特殊檔案 / a special file");
}

// Reads the pairs of a file's bytes into the table, slice by slice with progress, and
// frees the bytes; `read` and `report` tell how the reading went.
static void LoadBytes(BusyProgress& progress, QByteArray& bytes, BatchTable& grid, BatchReadResult& read,
                      std::string& report)
{
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    progress.Stage(QStringLiteral("正在載入表格…\nLoading the table…"), static_cast<long long>(text.size()));

    // Each number is shown with 15 significant digits; the compute button reads these
    // texts back, so they are all that is kept of the file. They are made slice by slice
    // as the reader hands the pairs over, so the pairs of a large file are never all
    // held at once.
    BatchTableTexts texts;
    bool reserved = false;
    const auto take = [&](std::span<const BatchPair> pairs, std::size_t bytesRead) {
        for (const BatchPair& pair : pairs)
            texts.Append(BatchCellText(pair.x), BatchCellText(pair.y));
        if (!reserved && bytesRead != 0) {
            // The first slice tells about how many rows and characters the file makes.
            reserved = true;
            const double scale = 1.05 * static_cast<double>(text.size()) / static_cast<double>(bytesRead);
            texts.Reserve(static_cast<std::size_t>(scale * static_cast<double>(texts.Rows())) + 16,
                          static_cast<std::size_t>(scale * static_cast<double>(texts.CharacterCount())) + 64);
        }
        progress.Advance(static_cast<long long>(bytesRead));
    };
    // The file has been read, so the table will be replaced whatever it holds: let the old
    // rows go first rather than hold two tables and the file at once.
    grid.Load(BatchTableTexts());
    read = ReadBatchPairs(text, take);
    take(read.pairs, text.size());
    report = LoadReport(text, read);
    bytes = QByteArray();
    progress.Stage(QStringLiteral("正在顯示表格…\nShowing the table…"), 1);
    grid.Load(std::move(texts));
}

// Shows what the reader had to say about a load: why it stopped and what to do, or that
// the pairs do not line up with the lines.
static void ShowLoadReport(Desktop& desktop, const BatchReadResult& read, const std::string& report)
{
    if (report.empty())
        return;
    const QString message = QString::fromStdString(report);
    if (LoadReportWarns(read))
        desktop.ShowWarning(message);
    else
        desktop.ShowMessage(message);
}

void TForm1::Button6Click()
{
    const std::optional<QString> chosen = desktop_.GetOpenFileName(openDialogFile_);
    if (!chosen)
        return;
    openDialogFile_ = *chosen;
    LoadFile(*chosen);
}

void TForm1::LoadFile(const QString& chosen)
{
    const QString path = QDir::toNativeSeparators(chosen);

    // Nothing is lost on an error: the table and the result list stay as they were.
    if (const std::optional<QString> kind = NotRegularFileKind(chosen)) {
        desktop_.ShowError(QStringLiteral("「%1」不是一般檔案，而是%2。請選擇一個數字對的文字檔。\n"
                                          "%1 is not a regular file: it is %3. Choose a text file of number pairs.")
                               .arg(path, kind->section(QStringLiteral(" / "), 0, 0),
                                    kind->section(QStringLiteral(" / "), 1)));
        return;
    }
    BatchReadResult read;
    std::string report;
    FileRead file;
    {
        // Ends before any message: no busy cursor or progress dialog over it.
        BusyProgress progress(this);
        // The file is closed again before anything is shown.
        file = ReadFileOnce(chosen, progress);
        if (file.error.isEmpty())
            LoadBytes(progress, file.bytes, *BatchGrid, read, report);
    }
    const QString& readError = file.error;
    if (!readError.isEmpty()) {
        // Nothing is lost: the table and the result list stay as they were.
        desktop_.ShowError(QStringLiteral("無法讀取檔案「%1」：%2。請確認檔案存在，而且您有讀取它的權限。\n"
                                          "Cannot read the file %1: %2. Check that the file exists and that "
                                          "you may read it.")
                               .arg(path, readError));
        return;
    }

    // The table may not be what the file holds now: say so first, then anything else.
    if (file.change != FileRead::Change::None) {
        QString message = FileChangeMessage(path, file, BatchGrid->RowCount() - 1);
        if (!report.empty())
            message += QStringLiteral("\n\n") + QString::fromStdString(report);
        desktop_.ShowWarning(message);
        return;
    }
    ShowLoadReport(desktop_, read, report);
}

void TForm1::LoadText(QByteArray bytes)
{
    BatchReadResult read;
    std::string report;
    {
        BusyProgress progress(this);
        LoadBytes(progress, bytes, *BatchGrid, read, report);
    }
    ShowLoadReport(desktop_, read, report);
}

void TForm1::StringGrid1Paste()
{
    // A file holding the clipboard's text: UTF-8, as the desktop's text files are. Cells
    // copied from a spreadsheet arrive as tab-separated lines, which the reader takes as
    // they are.
    const QString text = desktop_.ClipboardText();
    if (text.trimmed().isEmpty()) {
        // An empty file would empty the table; an empty clipboard is more likely a copy
        // that did not happen, so the table stays.
        desktop_.ShowMessage(QStringLiteral("剪貼簿裡沒有文字，表格沒有改變。請先在試算表或文字檔中選取兩欄坐標並複製，再貼上。\n\n"
                                            "The clipboard holds no text; the table is unchanged. First select and "
                                            "copy the two coordinate columns in a spreadsheet or a text file, then "
                                            "paste."));
        return;
    }
    LoadText(text.toUtf8());
}

// The one local file among dropped URLs, or nothing when they are not exactly one.
static std::optional<QString> DroppedFile(const QList<QUrl>& urls)
{
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return std::nullopt;
    return urls.front().toLocalFile();
}

void TForm1::FormDragDrop(const QList<QUrl>& urls)
{
    const std::optional<QString> path = DroppedFile(urls);
    if (!path)
        return;
    // The dropped file becomes the file chosen last, as if picked in the dialog.
    openDialogFile_ = *path;
    LoadFile(*path);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    // Only one local file is taken; anything else shows the no-drop cursor.
    if (event->mimeData()->hasUrls() && DroppedFile(event->mimeData()->urls()))
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasUrls())
        return;
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    RunReportingErrors(desktop_, [this, &urls] { FormDragDrop(urls); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    // The input boxes and the result list take dropped text themselves, and would take
    // a dropped file as its path: a file is the window's, wherever it is dropped.
    const QEvent::Type type = event->type();
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData()->hasUrls() && DroppedFile(drop->mimeData()->urls())) {
            if (type == QEvent::Drop)
                dropEvent(drop);
            else
                drop->acceptProposedAction();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
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

// Writes the result lines of a run into the result list a slice at a time, so that the
// progress dialog repaints in between and no joined copy of all lines is ever held. A run
// stopped by a bad cell still shows the lines of the rows before it: the destructor
// writes what is pending.
//
// A text document spends about 160 bytes on each block besides its characters, and takes
// a few microseconds to insert one, so a list of more than kLinesOneToABlock lines keeps
// kLinesToABlock of them to a block, joined by line separators (U+2028). They show,
// select and copy as separate lines; the text reads back with "\n" between all lines.
class BatchResultWriter {
public:
    BatchResultWriter(QPlainTextEdit* list, std::size_t lines)
        : list_(list), linesToABlock_(lines > kLinesOneToABlock ? kLinesToABlock : 1)
    {
        // Undo would keep a second copy of every slice.
        list_->setUndoRedoEnabled(false);
        pending_.reserve(kSliceLines * 32);
    }
    ~BatchResultWriter()
    {
        Write();
        list_->setUndoRedoEnabled(true);
    }
    BatchResultWriter(const BatchResultWriter&) = delete;
    BatchResultWriter& operator=(const BatchResultWriter&) = delete;

    // Appends the line of one row and returns the row's numbers; a bad cell throws with
    // nothing appended.
    BatchRowValues Add(ConversionMode mode, const Ellipsoid& ellipsoid, std::string_view x, std::string_view y)
    {
        const BatchRowValues values = AppendBatchResultLine(pending_, mode, ellipsoid, x, y);
        // Each line is followed by the separator before the next one; Write leaves the last
        // one out.
        ++lines_;
        if (lines_ % linesToABlock_ == 0) {
            pending_ += '\n';
            separatorBytes_ = 1;
        } else {
            pending_ += "\u2028";
            separatorBytes_ = 3;
        }
        if (lines_ % kSliceLines == 0)
            Write();
        return values;
    }

private:
    static constexpr std::size_t kLinesOneToABlock = 100000;
    static constexpr std::size_t kLinesToABlock = 16;
    static constexpr std::size_t kSliceLines = 32768;

    // Inserts the pending lines at the end of the list, keeping back the separator after the
    // last one until another line follows it.
    void Write()
    {
        if (pending_.size() <= separatorBytes_)
            return;
        QTextDocument* document = list_->document();
        const int firstBlock = document->blockCount() - 1;
        QTextCursor cursor(document);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QString::fromUtf8(pending_.data(), static_cast<qsizetype>(pending_.size() - separatorBytes_)));
        pending_.erase(0, pending_.size() - separatorBytes_);
        if (linesToABlock_ > 1) {
            // Without wrapping every line of a block is one line on the screen: say so now,
            // so that the scroll bar spans all lines before the blocks are laid out.
            for (QTextBlock block = document->findBlockByNumber(firstBlock); block.isValid(); block = block.next())
                block.setLineCount(static_cast<int>(block.text().count(QChar::LineSeparator)) + 1);
            QAbstractTextDocumentLayout* layout = document->documentLayout();
            emit layout->documentSizeChanged(layout->documentSize());
        }
    }

    QPlainTextEdit* list_;
    const std::size_t linesToABlock_;
    std::string pending_;           // UTF-8 lines, each followed by its separator
    std::size_t separatorBytes_ = 0;  // of the separator at the end of pending_
    std::size_t lines_ = 0;
};

void TForm1::Button5Click()
{
    // The direction and the ellipsoid in force now apply to the whole run.
    const int mode = RadioGroup3->ItemIndex();
    if (mode != TM2ToGeographic && mode != GeographicToTM2) {
        desktop_.ShowMessage(QStringLiteral("No the other choice"));
        return;
    }
    const auto direction = static_cast<ConversionMode>(mode);
    AreaTally area;
    {
        // Clearing a long list takes a while too: under the busy cursor already.
        BusyProgress progress(this);
        Memo2->clear();

        const int rowCount = BatchGrid->RowCount();
        progress.Stage(QStringLiteral("正在計算 %1 列…\nComputing %1 rows…").arg(rowCount - 1), rowCount - 1);
        // Destroyed before progress: the dialog stays up while the list takes the last lines.
        BatchResultWriter lines(Memo2, static_cast<std::size_t>(rowCount - 1));

        // Each cell is parsed as it stands, column 1 before column 2; a bad text ends the
        // run here with its parse error, the lines of the rows before it kept.
        for (int r = 1; r < rowCount; ++r) {
            const BatchRowValues values =
                lines.Add(direction, ellipsoid_, BatchGrid->CoordinateText(r, 1), BatchGrid->CoordinateText(r, 2));
            area.Add(direction, values.x, values.y, static_cast<std::size_t>(r));
            progress.Advance(r);
        }
    }
    // Points far from Taiwan are computed all the same (the projection is defined there),
    // but they are nearly always a wrong direction or swapped columns: say so once.
    if (const std::string notice = BatchAreaNotice(direction, area); !notice.empty())
        desktop_.ShowWarning(QString::fromStdString(notice));
}

// The window as a whole: its pages, the start-up state, the one place where controls are
// connected to their handlers, and the regional decimal symbol.
#include "form1.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QShortcut>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QWindow>

#include "desktop.h"
#include "error_report.h"
#include "grid_view.h"
#include "keyboard.h"
#include "link_label.h"
#include "radio_group.h"
#include "tab_sheet.h"
#include "text/number_text.h"

namespace {
// The window's outer size, frame included; the client area is whatever the frame leaves.
constexpr int kOuterWidth = 611;
constexpr int kOuterHeight = 422;

// Connects a control's signal to a handler of the window through the error report: an
// error leaving the handler abandons the rest of it, is shown in the error box, and the
// event loop goes on.
template <class Sender, class Signal>
void ConnectReporting(Sender* sender, Signal signal, TForm1* form, Desktop& desktop,
                      void (TForm1::*handler)())
{
    QObject::connect(sender, signal, form, [form, &desktop, handler] {
        RunReportingErrors(desktop, [form, handler] { (form->*handler)(); });
    });
}
}  // namespace

TForm1::TForm1(Desktop& desktop, QWidget* parent)
    : QWidget(parent), desktop_(desktop), ellipsoid_(kGRS67)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("KartovelV1.21          2003.10.16"));

    // The page control keeps its size when the window is resized: no layout.
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, 601, 393);
    TabSheet1 = new TabSheet;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet1, QStringLiteral("單點轉換"));
    TabSheet2 = new TabSheet;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet2, QStringLiteral("匹次轉換"));
    TabSheet3 = new TabSheet;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet3, QStringLiteral("關於"));

    BuildSinglePage();
    BuildBatchPage();
    BuildAboutPage();
    SetTabOrder();

    // The single-point page opens in the TM2-to-geographic direction: its captions are set
    // here, not by the direction handler, which does not run at start-up.
    Panel1->setText(QStringLiteral("X (E)"));
    Panel2->setText(QStringLiteral("Y (N)"));
    Panel3->setText(QStringLiteral("x (經度)"));
    Panel4->setText(QStringLiteral("y (緯度)"));
    ellipsoid_ = kGRS67;
    PageControl1->setCurrentWidget(TabSheet3);

    ReadDecimalMark();
    // Last, so that setting the initial selections above raised no handler.
    ConnectHandlers();

    // A file dropped on the window or the table loads; the table takes no drop itself,
    // so the drop reaches the window. Controls that take dropped text hand a file to it.
    setAcceptDrops(true);
    for (QWidget* control : findChildren<QWidget*>())
        if (control->acceptDrops())
            control->installEventFilter(this);

    move(322, 118);
    FitOuterSize();
}

TForm1::~TForm1() = default;

void TForm1::ConnectHandlers()
{
    ConnectReporting(RadioGroup1, &RadioGroup::Click, this, desktop_, &TForm1::RadioGroup1Click);
    ConnectReporting(RadioGroup2, &RadioGroup::Click, this, desktop_, &TForm1::RadioGroup2Click);
    ConnectReporting(Button1, &QPushButton::clicked, this, desktop_, &TForm1::Button1Click);
    ConnectReporting(Button3, &QPushButton::clicked, this, desktop_, &TForm1::Button3Click);
    ConnectReporting(Button4, &QPushButton::clicked, this, desktop_, &TForm1::Button4Click);
    ConnectReporting(Button2, &QPushButton::clicked, this, desktop_, &TForm1::Button2Click);

    ConnectReporting(Button6, &QPushButton::clicked, this, desktop_, &TForm1::Button6Click);
    ConnectReporting(RadioGroup3, &RadioGroup::Click, this, desktop_, &TForm1::RadioGroup3Click);
    ConnectReporting(RadioGroup4, &RadioGroup::Click, this, desktop_, &TForm1::RadioGroup4Click);
    ConnectReporting(Button5, &QPushButton::clicked, this, desktop_, &TForm1::Button5Click);

    ConnectReporting(Label2, &LinkLabel::Click, this, desktop_, &TForm1::Label2Click);
    ConnectReporting(Label3, &LinkLabel::Click, this, desktop_, &TForm1::Label3Click);

    // Keys. Enter in either input box computes as the compute button does; Enter on a
    // focused button presses it, as Space does (a plain window has no default button to
    // take Enter); the copy key on the table copies the whole selection, not one cell.
    ConnectReporting(Edit1, &QLineEdit::returnPressed, this, desktop_, &TForm1::Button1Click);
    ConnectReporting(Edit2, &QLineEdit::returnPressed, this, desktop_, &TForm1::Button1Click);
    for (QPushButton* button : findChildren<QPushButton*>())
        connect(new KeyCommand(button, IsEnterKey), &KeyCommand::Triggered, button, &QAbstractButton::click);
    ConnectReporting(new KeyCommand(StringGrid1, IsCopyKey), &KeyCommand::Triggered, this, desktop_,
                     &TForm1::StringGrid1Copy);
    ConnectReporting(new KeyCommand(StringGrid1, IsPasteKey), &KeyCommand::Triggered, this, desktop_,
                     &TForm1::StringGrid1Paste);
    // The table's context menu offers the same two; the keys are shown after a tab.
    StringGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);
    const auto menuItem = [this](const QString& text, const QKeySequence& keys, void (TForm1::*handler)()) {
        auto* action = new QAction(text + QLatin1Char('\t') + keys.toString(QKeySequence::NativeText), StringGrid1);
        StringGrid1->addAction(action);
        ConnectReporting(action, &QAction::triggered, this, desktop_, handler);
    };
    menuItem(QStringLiteral("複製 Copy"), QKeySequence(QKeySequence::Copy), &TForm1::StringGrid1Copy);
    menuItem(QStringLiteral("貼上 Paste"), QKeySequence(QKeySequence::Paste), &TForm1::StringGrid1Paste);

    // The user guide: F1 anywhere in the window, or a click on the emblem.
    ConnectReporting(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, desktop_,
                     &TForm1::FormHelp);
    ConnectReporting(new ClickWatcher(Image1), &ClickWatcher::Clicked, this, desktop_, &TForm1::FormHelp);
}

void TForm1::SetTabOrder()
{
    const QList<QWidget*> chains[] = {
        {RadioGroup1->Item(0), RadioGroup1->Item(1), RadioGroup2->Item(0), RadioGroup2->Item(1),
         Edit1, Edit2, Button1, Button4, Button3, Button2, Edit3, Edit4, Edit5, Edit6},
        {RadioGroup3->Item(0), RadioGroup3->Item(1), RadioGroup4->Item(0), RadioGroup4->Item(1),
         Button6, StringGrid1, Button5, Memo2},
        {Label2, Label3},
    };
    for (const QList<QWidget*>& chain : chains)
        for (qsizetype i = 1; i < chain.size(); ++i)
            setTabOrder(chain[i - 1], chain[i]);
}

void TForm1::StringGrid1Copy()
{
    const QString text = SelectedCellsText(*StringGrid1->selectionModel());
    if (!text.isEmpty())
        desktop_.SetClipboardText(text);
}

// The folders where the user guide is installed: beside the program's own prefix first,
// so that a moved installation finds its own guide, then the prefix it was built for.
static QStringList GuideFolders()
{
    QStringList folders{QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                        QStringLiteral("/../share/doc/kartovel"))};
#ifdef KARTOVEL_GUIDE_DIR
    folders << QStringLiteral(KARTOVEL_GUIDE_DIR);
#endif
    return folders;
}

void TForm1::FormHelp()
{
    // The Chinese guide under the locales where the converter speaks Chinese.
    const QString locale = QLocale::system().name();
    const bool chinese = locale == QLatin1String("zh_TW") || locale == QLatin1String("zh_HK") ||
                         locale == QLatin1String("zh_MO");
    const QStringList names = chinese ? QStringList{QStringLiteral("guide.zh-TW.md"), QStringLiteral("guide.en.md")}
                                      : QStringList{QStringLiteral("guide.en.md"), QStringLiteral("guide.zh-TW.md")};
    const QStringList folders = GuideFolders();
    for (const QString& folder : folders)
        for (const QString& name : names)
            if (QFileInfo(folder + QLatin1Char('/') + name).isFile()) {
                desktop_.OpenUrl(QUrl::fromLocalFile(folder + QLatin1Char('/') + name));
                return;
            }
    desktop_.ShowMessage(QStringLiteral("找不到使用說明（guide.zh-TW.md、guide.en.md），應在：%1。請重新安裝 Kartovel，"
                                        "或在終端機輸入 man kartovel-convert 查看命令列工具的說明。\n\n"
                                        "Cannot find the user guide (guide.en.md, guide.zh-TW.md), which belongs in: "
                                        "%1. Install Kartovel again, or type man kartovel-convert in a terminal for "
                                        "the command-line tool's manual.")
                             .arg(QDir::toNativeSeparators(folders.join(QStringLiteral(", ")))));
}

void TForm1::AnnounceResults()
{
    // Each result box by its accessible name and text, in reading order, spoken whichever
    // control has the focus (the compute button, or the input box after Enter).
    QStringList parts;
    for (QLineEdit* edit : {Edit3, Edit4, Edit5, Edit6})
        if (!edit->text().isEmpty())
            parts << QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Name) + QLatin1Char(' ') +
                         edit->text();
    desktop_.Announce(GroupBox2, parts.join(QStringLiteral("; ")));
}

bool TForm1::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::LocaleChange:
        ReadDecimalMark();
        break;
    case QEvent::Show:
    case QEvent::WindowActivate:
        // A window manager reports its frame only once the window is mapped.
        FitOuterSize();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TForm1::ReadDecimalMark()
{
    // The first character of the regional decimal symbol; an empty symbol gives ".".
    const QString symbol = desktop_.DecimalSymbol();
    const qsizetype length = symbol.size() > 1 && symbol[0].isHighSurrogate() ? 2 : 1;
    SetDecimalMark(symbol.left(length).toStdString());
}

void TForm1::FitOuterSize()
{
    if (frameFitted_)
        return;
    const QWindow* window = windowHandle();
    const QMargins frame = window ? window->frameMargins() : QMargins();
    resize(kOuterWidth - frame.left() - frame.right(), kOuterHeight - frame.top() - frame.bottom());
    // Once a real frame is known the size is the user's to change.
    frameFitted_ = !frame.isNull();
}

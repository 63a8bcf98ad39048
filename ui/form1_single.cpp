// The single-point page: one point converted at a time, in the direction chosen in
// RadioGroup1 and on the ellipsoid chosen in RadioGroup2.
#include <string>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "desktop.h"
#include "form1.h"
#include "geodesy/projection.h"
#include "radio_group.h"
#include "text/number_text.h"

namespace {
QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string ToUtf8(const QString& text)
{
    return text.toStdString();
}

// A caption panel: centred text on a raised bevel.
QLabel* MakePanel(const char* name, QWidget* parent, int x, int y)
{
    auto* panel = new QLabel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setAlignment(Qt::AlignCenter);
    panel->setGeometry(x, y, 121, 25);
    return panel;
}

QLineEdit* MakeEdit(const char* name, QWidget* parent, int x, int y, const QString& text = {})
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(x, y, 121, 21);
    return edit;
}

QPushButton* MakeButton(const char* name, const QString& caption, QWidget* parent, int x, int y,
                        int width)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(x, y, width, 25);
    return button;
}

// An edit's background colour, taken from the desktop's palette role (ToolTipBase for
// the info colour, Button for the button face). It holds in every state, as a colour set
// on a classic edit box does.
void SetEditColour(QLineEdit* edit, QPalette::ColorRole role)
{
    const QColor colour = QApplication::palette().color(QPalette::Active, role);
    QPalette palette = edit->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, colour);
    edit->setPalette(palette);
}

const QString kNotAvailable = QStringLiteral("Not avaible");
}  // namespace

void TForm1::BuildSinglePage()
{
    RadioGroup1 = new RadioGroup(QStringLiteral("Step1 選擇轉換方式"),
                                 {QStringLiteral("１．ＴＭ２轉經緯度"), QStringLiteral("２．經緯度轉ＴＭ２")},
                                 TabSheet1);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(8, 8, 217, 185);
    RadioGroup1->SetItemIndex(TM2ToGeographic);

    GroupBox1 = new QGroupBox(QStringLiteral("Step3 輸入計算值"), TabSheet1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(240, 8, 345, 73);
    Panel1 = MakePanel("Panel1", GroupBox1, 47, 16);
    Panel2 = MakePanel("Panel2", GroupBox1, 191, 16);
    Edit1 = MakeEdit("Edit1", GroupBox1, 47, 40, FromUtf8(IntegerText(247342)));
    Edit2 = MakeEdit("Edit2", GroupBox1, 191, 40, FromUtf8(IntegerText(2652335)));

    RadioGroup2 = new RadioGroup(QStringLiteral("Step2 選擇地球參考橢球體之地球原子"),
                                 {QStringLiteral("１．GRS67,TWD67(虎子山)"), QStringLiteral("２．TWD97")},
                                 TabSheet1);
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    RadioGroup2->setGeometry(8, 200, 217, 161);
    RadioGroup2->SetItemIndex(0);

    GroupBox2 = new QGroupBox(QStringLiteral("Result 結果"), TabSheet1);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(240, 208, 345, 153);
    Panel3 = MakePanel("Panel3", GroupBox2, 48, 32);
    Panel4 = MakePanel("Panel4", GroupBox2, 192, 32);
    Edit3 = MakeEdit("Edit3", GroupBox2, 48, 56);
    Edit4 = MakeEdit("Edit4", GroupBox2, 192, 56);
    Edit5 = MakeEdit("Edit5", GroupBox2, 48, 84);
    Edit6 = MakeEdit("Edit6", GroupBox2, 192, 84);
    for (QLineEdit* edit : {Edit3, Edit4, Edit5, Edit6})
        SetEditColour(edit, QPalette::ToolTipBase);
    Button3 = MakeButton("Button3", QStringLiteral("重設"), GroupBox2, 54, 112, 75);
    Button4 = MakeButton("Button4", QStringLiteral("剪貼"), GroupBox2, 142, 112, 75);
    Button2 = MakeButton("Button2", QStringLiteral("結束"), GroupBox2, 238, 112, 75);

    Button1 = MakeButton("Button1", QStringLiteral("計算"), TabSheet1, 288, 152, 265);

    // Assistive technology names each box after the caption panel above it (the panel is
    // the box's buddy), so the names change with the direction's captions. The degree boxes
    // hold longitude and latitude only, whatever the captions; grid results leave them unused.
    Panel1->setBuddy(Edit1);
    Panel2->setBuddy(Edit2);
    Panel3->setBuddy(Edit3);
    Panel4->setBuddy(Edit4);
    Edit5->setAccessibleName(QStringLiteral("x (經度) 度分秒 degrees minutes seconds"));
    Edit6->setAccessibleName(QStringLiteral("y (緯度) 度分秒 degrees minutes seconds"));

    // Carries the text that the copy button puts on the clipboard; never shown.
    Edit7 = MakeEdit("Edit7", TabSheet1, 344, 336, QStringLiteral("Edit7"));
    Edit7->setVisible(false);
    Edit7->setFocusPolicy(Qt::NoFocus);
}

void TForm1::RadioGroup1Click()
{
    switch (RadioGroup1->ItemIndex()) {
    case TM2ToGeographic:
        Panel1->setText(QStringLiteral("X (E)"));
        Panel2->setText(QStringLiteral("Y (N)"));
        Panel3->setText(QStringLiteral("x (經度)"));
        Panel4->setText(QStringLiteral("y (緯度)"));
        Edit5->setEnabled(true);
        Edit6->setEnabled(true);
        SetEditColour(Edit5, QPalette::ToolTipBase);
        SetEditColour(Edit6, QPalette::ToolTipBase);
        break;
    case GeographicToTM2:
        Panel1->setText(QStringLiteral("x (經度)"));
        Panel2->setText(QStringLiteral("y (緯度)"));
        Panel3->setText(QStringLiteral("X (E)"));
        Panel4->setText(QStringLiteral("Y (N)"));
        // The degrees/minutes/seconds boxes have no meaning for grid results; their old
        // texts stay, greyed out.
        Edit5->setEnabled(false);
        Edit6->setEnabled(false);
        SetEditColour(Edit5, QPalette::Button);
        SetEditColour(Edit6, QPalette::Button);
        break;
    default:
        desktop_.ShowMessage(kNotAvailable);
        break;
    }
}

void TForm1::RadioGroup2Click()
{
    const int index = RadioGroup2->ItemIndex();
    if (index < 0 || index >= static_cast<int>(kEllipsoids.size())) {
        desktop_.ShowMessage(kNotAvailable);
        return;
    }
    SelectEllipsoid(index);
}

void TForm1::SelectEllipsoid(int index)
{
    ellipsoid_ = kEllipsoids[static_cast<std::size_t>(index)];
    // Each move raises the other group's Click only when it really changes the selection,
    // so the two groups' handlers calling back here end after one round.
    RadioGroup2->SetItemIndex(index);
    RadioGroup4->SetItemIndex(index);
}

void TForm1::Button1Click()
{
    // Both inputs are parsed and both projections computed before any box is written, so
    // a bad text or a failed computation leaves every box as it was.
    switch (RadioGroup1->ItemIndex()) {
    case TM2ToGeographic: {
        const Extended E = NumberFromText(ToUtf8(Edit1->text()));
        const Extended N = NumberFromText(ToUtf8(Edit2->text()));
        // Latitude and longitude from one footpoint search, as TM2ToLatitude and then
        // TM2ToLongitude would give them.
        const Geographic point = TM2ToGeographicPoint(ellipsoid_, E, N);
        Edit3->setText(FromUtf8(GeneralFormat(point.longitude, 9)));
        Edit4->setText(FromUtf8(GeneralFormat(point.latitude, 8)));
        Edit5->setText(FromUtf8(FormatDms(point.longitude)));
        Edit6->setText(FromUtf8(FormatDms(point.latitude)));
        AnnounceResults();
        break;
    }
    case GeographicToTM2: {
        const Extended longitude = NumberFromText(ToUtf8(Edit1->text()));
        const Extended latitude = NumberFromText(ToUtf8(Edit2->text()));
        const Extended N = LonLatToNorthing(ellipsoid_, longitude, latitude);
        const Extended E = LonLatToEasting(ellipsoid_, longitude, latitude);
        Edit3->setText(FromUtf8(GeneralFormat(E, 9)));
        Edit4->setText(FromUtf8(GeneralFormat(N, 10)));
        AnnounceResults();
        break;
    }
    default:
        desktop_.ShowMessage(QStringLiteral("No the other choice"));
        break;
    }
}

void TForm1::Button3Click()
{
    // Back to the start-up direction; a real change raises RadioGroup1Click, which
    // restores the captions. The ellipsoid choice stays.
    RadioGroup1->SetItemIndex(TM2ToGeographic);
    Edit1->setText(FromUtf8(IntegerText(247342)));
    Edit2->setText(FromUtf8(IntegerText(2652335)));
    Edit3->setText(QString());
    Edit4->setText(QString());
    Edit5->setText(QString());
    Edit6->setText(QString());
}

void TForm1::Button4Click()
{
    // The two results as they stand, x first, no blanks; the hidden Edit7 keeps the text.
    Edit7->setText(Edit3->text() + QLatin1Char(',') + Edit4->text());
    Edit7->selectAll();
    desktop_.SetClipboardText(Edit7->selectedText());
}

void TForm1::Button2Click()
{
    desktop_.ShowMessage(QStringLiteral("感謝使用  Kartovel1.0 "));
    // Ends the event loop at once, without the window's close sequence; main() returns
    // so that the application's teardown hands the clipboard over.
    desktop_.ExitProcess(0);
}

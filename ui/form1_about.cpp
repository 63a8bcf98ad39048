// The about page: emblem, title and version, the two credit links and the terms of use.
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QUrl>

#include "desktop.h"
#include "form1.h"
#include "link_label.h"

namespace {
// Placeholder addresses under the domain reserved for examples.
const QString kWebPage = QStringLiteral("https://www.example.org/kartovel/");
const QString kMailAddress = QStringLiteral("mailto:kartovel@example.org");

// The page's font: the Traditional Chinese Ming face (substituted by the application).
// Its Latin letters come from a proportional serif face first: the substitute Ming face's
// own Latin letters are fixed-width, with an "l" that reads as "1".
QFont PageFont(int pixelHeight, bool underline = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Serif"), QStringLiteral("新細明體")});
    font.setPixelSize(pixelHeight);
    font.setUnderline(underline);
    return font;
}

template <class Label>
Label* Place(Label* label, const char* name, int x, int y, int width, int height)
{
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(x, y, width, height);
    return label;
}
}  // namespace

void TForm1::BuildAboutPage()
{
    Image1 = Place(new QLabel(TabSheet3), "Image1", 24, 48, 113, 121);
    Image1->setPixmap(QPixmap(QStringLiteral(":/kartovel/emblem.png")));
    Image1->setAccessibleName(QStringLiteral("Kartovel 標誌 Kartovel emblem"));
    // A click on the emblem opens the user guide, as F1 does.
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setToolTip(QStringLiteral("使用說明（F1）\nUser guide (F1)"));

    Label1 = Place(new QLabel(QStringLiteral("Kartovel v1.21"), TabSheet3), "Label1", 144, 72, 309, 37);
    Label1->setFont(PageFont(37));

    Label2 = Place(new LinkLabel(QStringLiteral("Kartovel developers 網站"), TabSheet3), "Label2",
                   32, 264, 260, 16);
    // The page's 16-pixel font has a 19-pixel line in the Latin face: the links take the
    // size whose line fits their 16-pixel boxes, so that "example.org" keeps its "g".
    Label2->setFont(FontFittingLineHeight(PageFont(16, true), Label2->height()));

    Label3 = Place(new LinkLabel(QStringLiteral("作者信箱：kartovel@example.org"),
                                 TabSheet3),
                   "Label3", 32, 288, 338, 16);
    Label3->setFont(FontFittingLineHeight(PageFont(16, true), Label3->height()));

    Label4 = Place(new QLabel(QStringLiteral("本程式免費使用，計算結果僅供參考。"), TabSheet3), "Label4",
                   160, 328, 324, 16);
    Label4->setFont(PageFont(16));
    QPalette black = Label4->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Label4->setPalette(black);
    Label1->setPalette(black);
}

void TForm1::Label2Click()
{
    desktop_.OpenUrl(QUrl(kWebPage));
}

void TForm1::Label3Click()
{
    desktop_.OpenUrl(QUrl(kMailAddress));
}

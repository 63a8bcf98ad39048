// The window as it opens: pages, captions, texts, colours, enabled states, the place and
// size of every control, captions that fit their controls, and the about page's links.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "offscreen_main.h"
#include "tests/support/fake_desktop.h"
#include "ui/form1.h"
#include "ui/link_label.h"
#include "ui/radio_group.h"

namespace {
QWidget* Find(TForm1& form, const QString& name)
{
    return form.objectName() == name ? &form : form.findChild<QWidget*>(name);
}

QString TextOf(QWidget* widget)
{
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title();
    return widget->windowTitle();
}
}  // namespace

class WindowStateTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        form_ = new TForm1(desktop_);
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
    }
    void cleanupTestCase() { delete form_; }

    void opensOnAboutPage();
    void geometry_data();
    void geometry();
    void initialText_data();
    void initialText();
    void initialState();
    void captionsFit();
    void links_data();
    void links();
    void resizingLeavesPagesAlone();

private:
    FakeDesktop desktop_;
    TForm1* form_ = nullptr;
};

void WindowStateTest::opensOnAboutPage()
{
    QCOMPARE(form_->PageControl1->currentWidget(), form_->TabSheet3);
    QStringList tabs;
    for (int i = 0; i < form_->PageControl1->count(); ++i)
        tabs << form_->PageControl1->tabText(i);
    QCOMPARE(tabs, (QStringList{"單點轉換", "匹次轉換", "關於"}));
    QCOMPARE(form_->windowTitle(), QStringLiteral("KartovelV1.21          2003.10.16"));
    QCOMPARE(form_->frameGeometry(), QRect(322, 118, 611, 422));
    QCOMPARE(desktop_.messages + desktop_.errors, QStringList());
}

void WindowStateTest::geometry_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("rect");
    struct Row { const char* name; const char* parent; int x, y, w, h; };
    const Row rows[] = {
        {"PageControl1", "Form1", 0, 0, 601, 393},
        {"RadioGroup1", "TabSheet1", 8, 8, 217, 185},    {"GroupBox1", "TabSheet1", 240, 8, 345, 73},
        {"Panel1", "GroupBox1", 47, 16, 121, 25},        {"Panel2", "GroupBox1", 191, 16, 121, 25},
        {"Edit1", "GroupBox1", 47, 40, 121, 21},         {"Edit2", "GroupBox1", 191, 40, 121, 21},
        {"RadioGroup2", "TabSheet1", 8, 200, 217, 161},  {"GroupBox2", "TabSheet1", 240, 208, 345, 153},
        {"Panel3", "GroupBox2", 48, 32, 121, 25},        {"Panel4", "GroupBox2", 192, 32, 121, 25},
        {"Edit3", "GroupBox2", 48, 56, 121, 21},         {"Edit4", "GroupBox2", 192, 56, 121, 21},
        {"Edit5", "GroupBox2", 48, 84, 121, 21},         {"Edit6", "GroupBox2", 192, 84, 121, 21},
        {"Button3", "GroupBox2", 54, 112, 75, 25},       {"Button4", "GroupBox2", 142, 112, 75, 25},
        {"Button2", "GroupBox2", 238, 112, 75, 25},      {"Button1", "TabSheet1", 288, 152, 265, 25},
        {"Edit7", "TabSheet1", 344, 336, 121, 21},
        {"RadioGroup3", "TabSheet2", 8, 8, 217, 185},    {"RadioGroup4", "TabSheet2", 8, 200, 217, 161},
        {"GroupBox3", "TabSheet2", 240, 8, 345, 185},    {"Button6", "GroupBox3", 16, 16, 321, 25},
        {"StringGrid1", "GroupBox3", 16, 48, 321, 129},  {"Button5", "TabSheet2", 240, 208, 345, 25},
        {"GroupBox4", "TabSheet2", 240, 240, 345, 121},  {"Memo2", "GroupBox4", 16, 16, 321, 97},
        {"Image1", "TabSheet3", 24, 48, 113, 121},       {"Label1", "TabSheet3", 144, 72, 309, 37},
        {"Label2", "TabSheet3", 32, 264, 260, 16},       {"Label3", "TabSheet3", 32, 288, 338, 16},
        {"Label4", "TabSheet3", 160, 328, 324, 16},
    };
    for (const Row& row : rows)
        QTest::newRow(row.name) << row.parent << QRect(row.x, row.y, row.w, row.h);
}

void WindowStateTest::geometry()
{
    QFETCH(QString, parent);
    QFETCH(QRect, rect);
    QWidget* widget = Find(*form_, QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY2(widget, "no control of that name");
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->geometry(), rect);
    // Every page fits in the page control, so nothing is cut off at the bottom or right.
    QVERIFY(widget->parentWidget()->rect().contains(widget->geometry()) || widget->objectName() == "PageControl1");
}

void WindowStateTest::initialText_data()
{
    QTest::addColumn<QString>("text");
    const char* rows[][2] = {
        {"Panel1", "X (E)"}, {"Panel2", "Y (N)"}, {"Panel3", "x (經度)"}, {"Panel4", "y (緯度)"},
        {"Edit1", "247342"}, {"Edit2", "2652335"}, {"Edit3", ""}, {"Edit4", ""}, {"Edit5", ""},
        {"Edit6", ""}, {"Edit7", "Edit7"},
        {"RadioGroup1", "Step1 選擇轉換方式"}, {"GroupBox1", "Step3 輸入計算值"},
        {"RadioGroup2", "Step2 選擇地球參考橢球體之地球原子"}, {"GroupBox2", "Result 結果"},
        {"Button1", "計算"}, {"Button2", "結束"}, {"Button3", "重設"}, {"Button4", "剪貼"},
        {"Label1", "Kartovel v1.21"},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString::fromUtf8(row[1]);
}

void WindowStateTest::initialText()
{
    QFETCH(QString, text);
    QWidget* widget = Find(*form_, QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(widget);
    QCOMPARE(TextOf(widget), text);
}

void WindowStateTest::initialState()
{
    const QStringList items{form_->RadioGroup1->Item(0)->text(), form_->RadioGroup1->Item(1)->text(),
                            form_->RadioGroup2->Item(0)->text(), form_->RadioGroup2->Item(1)->text()};
    QCOMPARE(items, (QStringList{"１．ＴＭ２轉經緯度", "２．經緯度轉ＴＭ２", "１．GRS67,TWD67(虎子山)", "２．TWD97"}));
    for (RadioGroup* group : {form_->RadioGroup1, form_->RadioGroup2, form_->RadioGroup3, form_->RadioGroup4})
        QCOMPARE(group->ItemIndex(), 0);
    QCOMPARE(form_->CurrentEllipsoid().SemiMajorAxis, kGRS67.SemiMajorAxis);
    QCOMPARE(form_->CurrentEllipsoid().InverseFlattening, kGRS67.InverseFlattening);

    const QColor info = QApplication::palette().color(QPalette::Active, QPalette::ToolTipBase);
    QVERIFY(info != QApplication::palette().color(QPalette::Active, QPalette::Base));
    for (QLineEdit* edit : {form_->Edit3, form_->Edit4, form_->Edit5, form_->Edit6}) {
        QVERIFY(edit->isEnabled());
        QCOMPARE(edit->palette().color(QPalette::Active, QPalette::Base), info);
    }
    // The carrier of the clipboard text never shows, whichever page is in front.
    for (QWidget* page : {form_->TabSheet1, form_->TabSheet2, form_->TabSheet3}) {
        form_->PageControl1->setCurrentWidget(page);
        QVERIFY(!form_->Edit7->isVisible());
    }
    form_->PageControl1->setCurrentWidget(form_->TabSheet3);
    QVERIFY(!form_->Image1->pixmap().isNull());
    QCOMPARE(form_->Image1->pixmap().size(), QSize(113, 121));
    QVERIFY(!QApplication::windowIcon().isNull());
}

void WindowStateTest::captionsFit()
{
    // Text measured in the control's own font against the room the style leaves for it.
    QStringList clipped;
    auto check = [&](QWidget* widget, const QString& text, int room) {
        const int width = widget->fontMetrics().horizontalAdvance(text);
        if (width > room)
            clipped << QStringLiteral("%1: %2 px for %3 px").arg(widget->objectName()).arg(width).arg(room);
    };
    for (QPushButton* button : form_->findChildren<QPushButton*>())
        check(button, button->text(), button->width() - 8);
    for (QLabel* label : form_->findChildren<QLabel*>())
        check(label, label->text(), label->width() - 2 * label->frameWidth());
    for (QGroupBox* group : form_->findChildren<QGroupBox*>())
        check(group, group->title(), group->width() - 16);
    for (RadioGroup* group : form_->findChildren<RadioGroup*>())
        for (int i = 0; i < group->Count(); ++i)
            check(group->Item(i), group->Item(i)->text(), group->Item(i)->width() - 20);
    QCOMPARE(clipped, QStringList());
}

void WindowStateTest::links_data()
{
    QTest::addColumn<QString>("url");
    QTest::newRow("Label2") << "https://www.example.org/kartovel/";
    QTest::newRow("Label3") << "mailto:kartovel@example.org";
}

void WindowStateTest::links()
{
    QFETCH(QString, url);
    auto* label = qobject_cast<LinkLabel*>(Find(*form_, QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY(label);
    QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(label->font().underline());
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    desktop_.openedUrls.clear();
    // A press that ends off the label is no click.
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(5, 50));
    QCOMPARE(desktop_.openedUrls, QList<QUrl>());
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(desktop_.openedUrls, QList<QUrl>{QUrl(url)});
}

void WindowStateTest::resizingLeavesPagesAlone()
{
    form_->resize(800, 600);
    QCOMPARE(form_->PageControl1->geometry(), QRect(0, 0, 601, 393));
    form_->resize(400, 300);
    QCOMPARE(form_->PageControl1->geometry(), QRect(0, 0, 601, 393));
}

KARTOVEL_OFFSCREEN_TEST_MAIN(WindowStateTest)
#include "test_window_state.moc"

// The single-point page driven as a user would: buttons clicked, radio items chosen,
// every handler reached through the window's error-reporting connections.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "offscreen_main.h"
#include "tests/support/fake_desktop.h"
#include "text/number_text.h"
#include "ui/form1.h"
#include "ui/radio_group.h"

namespace {
const QString kSentinel = QStringLiteral("untouched");

QStringList Boxes(const TForm1& form)
{
    return {form.Edit1->text(), form.Edit2->text(), form.Edit3->text(),
            form.Edit4->text(), form.Edit5->text(), form.Edit6->text()};
}

QStringList Captions(const TForm1& form)
{
    return {form.Panel1->text(), form.Panel2->text(), form.Panel3->text(), form.Panel4->text()};
}

QColor Base(const QLineEdit* edit)
{
    return edit->palette().color(edit->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                 QPalette::Base);
}

// Records messages and the exit in one sequence, to see which came first.
class SequenceDesktop : public FakeDesktop {
public:
    QStringList sequence;
    void ShowMessage(const QString& text) override
    {
        sequence << QStringLiteral("message:") + text;
        FakeDesktop::ShowMessage(text);
    }
    void ExitProcess(int status) override
    {
        sequence << QStringLiteral("exit:%1").arg(status);
        FakeDesktop::ExitProcess(status);
    }
};
}  // namespace

class SinglePageTest : public QObject {
    Q_OBJECT
private slots:
    void init() { SetDecimalMark("."); }

    void compute_data();
    void compute();
    void parseErrorChangesNothing_data();
    void parseErrorChangesNothing();
    void directionSwitch_data();
    void directionSwitch();
    void ellipsoidChoiceOnEitherPageChangesNoBox();
    void reset_data();
    void reset();
    void copy_data();
    void copy();
    void exitShowsFarewellThenExits();
    void noSelection();
};

void SinglePageTest::compute_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("ellipsoid");
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<QStringList>("results");  // Edit3..Edit6; kSentinel: not written
    const QString same = kSentinel;
    QTest::newRow("start-up point, GRS67")
        << 0 << 0 << "247342" << "2652335"
        << QStringList{"120.97388", "23.975644", "120°58’25.97", "23°58’32.32"};
    QTest::newRow("start-up point, TWD97")
        << 0 << 1 << "247342" << "2652335"
        << QStringList{"120.97388", "23.975725", "120°58’25.97", "23°58’32.61"};
    QTest::newRow("blanks around the numbers")
        << 0 << 0 << " 247342 " << "  2652335"
        << QStringList{"120.97388", "23.975644", "120°58’25.97", "23°58’32.32"};
    QTest::newRow("central meridian, GRS67")
        << 1 << 0 << "121" << "23.5" << QStringList{"250000", "2599660.181", same, same};
    QTest::newRow("central meridian, TWD97")
        << 1 << 1 << "121" << "23.5" << QStringList{"250000", "2599651.349", same, same};
}

void SinglePageTest::compute()
{
    QFETCH(int, direction);
    QFETCH(int, ellipsoid);
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(QStringList, results);
    FakeDesktop desktop;
    TForm1 form(desktop);
    form.RadioGroup1->SetItemIndex(direction);
    form.RadioGroup2->SetItemIndex(ellipsoid);
    form.Edit1->setText(x);
    form.Edit2->setText(y);
    for (QLineEdit* edit : {form.Edit3, form.Edit4, form.Edit5, form.Edit6})
        edit->setText(kSentinel);

    form.Button1->click();

    QCOMPARE(desktop.errors, QStringList());
    QCOMPARE(desktop.messages, QStringList());
    QCOMPARE(Boxes(form).mid(2), results);
    QCOMPARE(form.Edit1->text(), x);
    QCOMPARE(form.Edit2->text(), y);
}

void SinglePageTest::parseErrorChangesNothing_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<QString>("error");
    QTest::newRow("comma") << 0 << "247,342" << "2652335"
                           << "'247,342' is not a valid floating point value.";
    QTest::newRow("both bad: the first is named") << 0 << "abc" << "xyz"
                                                  << "'abc' is not a valid floating point value.";
    QTest::newRow("second empty") << 0 << "247342" << ""
                                  << "'' is not a valid floating point value.";
    QTest::newRow("full-width digits") << 1 << "１２１" << "23.5"
                                       << "'１２１' is not a valid floating point value.";
    QTest::newRow("blanks kept in the message") << 1 << "121" << " 23 5 "
                                                << "' 23 5 ' is not a valid floating point value.";
}

void SinglePageTest::parseErrorChangesNothing()
{
    QFETCH(int, direction);
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(QString, error);
    FakeDesktop desktop;
    TForm1 form(desktop);
    form.RadioGroup1->SetItemIndex(direction);
    form.Edit1->setText(x);
    form.Edit2->setText(y);
    for (QLineEdit* edit : {form.Edit3, form.Edit4, form.Edit5, form.Edit6})
        edit->setText(kSentinel);
    const QStringList boxes = Boxes(form);
    const QStringList captions = Captions(form);

    form.Button1->click();
    QCOMPARE(desktop.errors, QStringList{error});
    QCOMPARE(Boxes(form), boxes);
    QCOMPARE(Captions(form), captions);

    // The page stays usable: a good input computes afterwards.
    form.Button3->click();
    form.Button1->click();
    QCOMPARE(desktop.errors.size(), 1);
    QCOMPARE(form.Edit4->text(), QStringLiteral("23.975644"));
}

void SinglePageTest::directionSwitch_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<bool>("dmsEnabled");
    QTest::addColumn<int>("dmsColour");
    QTest::newRow("to geographic") << 0 << QStringList{"X (E)", "Y (N)", "x (經度)", "y (緯度)"}
                                   << true << int(QPalette::ToolTipBase);
    QTest::newRow("to grid") << 1 << QStringList{"x (經度)", "y (緯度)", "X (E)", "Y (N)"} << false
                             << int(QPalette::Button);
}

void SinglePageTest::directionSwitch()
{
    QFETCH(int, direction);
    QFETCH(QStringList, captions);
    QFETCH(bool, dmsEnabled);
    QFETCH(int, dmsColour);
    FakeDesktop desktop;
    TForm1 form(desktop);
    form.show();
    form.PageControl1->setCurrentWidget(form.TabSheet1);
    // Start from the other direction, then click the item as a user does.
    form.RadioGroup1->SetItemIndex(1 - direction);
    form.Edit1->setText(QStringLiteral("1"));
    for (QLineEdit* edit : {form.Edit3, form.Edit4, form.Edit5, form.Edit6})
        edit->setText(kSentinel);
    const QStringList boxes = Boxes(form);

    QRadioButton* item = form.RadioGroup1->Item(direction);
    QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, item->height() / 2));

    QCOMPARE(form.RadioGroup1->ItemIndex(), direction);
    QCOMPARE(Captions(form), captions);
    QCOMPARE(Boxes(form), boxes);  // no text is changed or converted
    const QColor expected = QApplication::palette().color(QPalette::Active, QPalette::ColorRole(dmsColour));
    for (QLineEdit* edit : {form.Edit5, form.Edit6}) {
        QCOMPARE(edit->isEnabled(), dmsEnabled);
        QCOMPARE(Base(edit), expected);
    }
    QCOMPARE(Base(form.Edit3), QApplication::palette().color(QPalette::Active, QPalette::ToolTipBase));
    QCOMPARE(desktop.messages, QStringList());
}

void SinglePageTest::ellipsoidChoiceOnEitherPageChangesNoBox()
{
    FakeDesktop desktop;
    TForm1 form(desktop);
    form.show();
    form.PageControl1->setCurrentWidget(form.TabSheet1);
    form.Button1->click();
    const QStringList grs67 = Boxes(form);

    struct Step { RadioGroup* group; QWidget* page; int item; Extended a; Extended inverseFlattening; };
    // Back and forth on either page's datum choice: the start values come back exactly.
    const Step steps[] = {{form.RadioGroup2, form.TabSheet1, 1, 6378137, 298.257222101},
                          {form.RadioGroup2, form.TabSheet1, 0, 6378160, 298.247167},
                          {form.RadioGroup4, form.TabSheet2, 1, 6378137, 298.257222101},
                          {form.RadioGroup4, form.TabSheet2, 0, 6378160, 298.247167}};
    for (const Step& step : steps) {
        form.PageControl1->setCurrentWidget(step.page);
        QRadioButton* item = step.group->Item(step.item);
        QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, item->height() / 2));
        QCOMPARE(form.RadioGroup2->ItemIndex(), step.item);
        QCOMPARE(form.RadioGroup4->ItemIndex(), step.item);
        if (form.CurrentEllipsoid().SemiMajorAxis != step.a ||
            form.CurrentEllipsoid().InverseFlattening != step.inverseFlattening)
            QFAIL(qPrintable(QString::asprintf("ellipsoid %.21Lg %.21Lg, expected %.21Lg %.21Lg",
                                               form.CurrentEllipsoid().SemiMajorAxis,
                                               form.CurrentEllipsoid().InverseFlattening, step.a,
                                               step.inverseFlattening)));
        QCOMPARE(Boxes(form), grs67);
    }
    QCOMPARE(desktop.messages, QStringList());
}

void SinglePageTest::reset_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("ellipsoid");
    QTest::newRow("from geographic, GRS67") << 0 << 0;
    QTest::newRow("from grid, TWD97") << 1 << 1;
}

void SinglePageTest::reset()
{
    QFETCH(int, direction);
    QFETCH(int, ellipsoid);
    FakeDesktop desktop;
    TForm1 form(desktop);
    form.RadioGroup2->SetItemIndex(ellipsoid);
    form.RadioGroup1->SetItemIndex(direction);
    form.Edit1->setText(QStringLiteral("121"));
    form.Edit2->setText(QStringLiteral("23.5"));
    form.Button1->click();
    form.Edit5->setText(kSentinel);

    form.Button3->click();

    QCOMPARE(form.RadioGroup1->ItemIndex(), 0);
    QCOMPARE(Captions(form), (QStringList{"X (E)", "Y (N)", "x (經度)", "y (緯度)"}));
    QCOMPARE(Boxes(form), (QStringList{"247342", "2652335", "", "", "", ""}));
    QVERIFY(form.Edit5->isEnabled() && form.Edit6->isEnabled());
    QCOMPARE(Base(form.Edit6), QApplication::palette().color(QPalette::Active, QPalette::ToolTipBase));
    QCOMPARE(form.RadioGroup2->ItemIndex(), ellipsoid);
    QCOMPARE(form.CurrentEllipsoid().SemiMajorAxis, kEllipsoids[ellipsoid].SemiMajorAxis);
    QCOMPARE(desktop.messages + desktop.errors, QStringList());
}

void SinglePageTest::copy_data()
{
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("empty boxes") << "" << "" << ",";
    QTest::newRow("results") << "120.97388" << "23.975644" << "120.97388,23.975644";
    QTest::newRow("typed text as it stands") << " a b" << "c, " << " a b,c, ";
}

void SinglePageTest::copy()
{
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(QString, clipboard);
    FakeDesktop desktop;
    TForm1 form(desktop);
    form.show();
    form.Edit3->setText(x);
    form.Edit4->setText(y);
    form.Edit5->setText(QStringLiteral("5"));
    form.Button4->click();
    QCOMPARE(desktop.clipboardHistory, QStringList{clipboard});
    QCOMPARE(form.Edit7->text(), clipboard);
    QVERIFY(!form.Edit7->isVisible());
}

void SinglePageTest::exitShowsFarewellThenExits()
{
    SequenceDesktop desktop;
    TForm1 form(desktop);
    form.Button2->click();
    QCOMPARE(desktop.sequence, (QStringList{"message:感謝使用  Kartovel1.0 ", "exit:0"}));
}

void SinglePageTest::noSelection()
{
    // Not reachable by the mouse; the handlers still answer it with their messages and
    // change nothing.
    FakeDesktop desktop;
    TForm1 form(desktop);
    form.RadioGroup2->SetItemIndex(1);
    form.RadioGroup1->SetItemIndex(-1);
    form.RadioGroup2->SetItemIndex(-1);
    QCOMPARE(desktop.messages, QStringList());  // clearing raises no click
    const QStringList boxes = Boxes(form);
    const QStringList captions = Captions(form);

    form.Button1->click();
    form.RadioGroup1Click();
    form.RadioGroup2Click();

    QCOMPARE(desktop.messages, (QStringList{"No the other choice", "Not avaible", "Not avaible"}));
    QCOMPARE(Boxes(form), boxes);
    QCOMPARE(Captions(form), captions);
    QCOMPARE(form.CurrentEllipsoid().SemiMajorAxis, kGRS80.SemiMajorAxis);
}

KARTOVEL_OFFSCREEN_TEST_MAIN(SinglePageTest)
#include "test_single_page.moc"

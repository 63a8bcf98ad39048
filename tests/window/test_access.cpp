// The window by keyboard and through assistive technology: Enter, the Tab order, the
// table's copy key, the accessible names, the links' keys, and the table drawn as a grid.
#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyleOptionHeader>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

#include "offscreen_main.h"
#include "tests/support/fake_desktop.h"
#include "text/number_text.h"
#include "ui/batch_table.h"
#include "ui/form1.h"
#include "ui/radio_group.h"

namespace {
Qt::KeyboardModifiers KeypadIf(int key)
{
    return key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
}

// A control by its form name; a radio item as "<group>/<index>".
QString Name(const QWidget* widget)
{
    if (auto* group = qobject_cast<RadioGroup*>(widget->parentWidget()))
        for (int i = 0; i < group->Count(); ++i)
            if (group->Item(i) == widget)
                return QStringLiteral("%1/%2").arg(group->objectName()).arg(i);
    return widget->objectName();
}
}  // namespace

class AccessTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        SetDecimalMark(".");
        desktop_ = std::make_unique<FakeDesktop>();
        form_ = std::make_unique<TForm1>(*desktop_);
        form_->show();
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }
    void cleanup() { form_.reset(); }

    void enterInInputBox_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("northing");
        QTest::addColumn<QString>("error");  // empty: computes; "-": nothing happens
        QTest::newRow("Return in Edit1") << "Edit1" << int(Qt::Key_Return) << "2652335" << "";
        QTest::newRow("keypad Enter in Edit2") << "Edit2" << int(Qt::Key_Enter) << "2652335" << "";
        // Enter on a focused button presses it (every button of the window is watched alike).
        QTest::newRow("Return on 計算") << "Button1" << int(Qt::Key_Return) << "2652335" << "";
        QTest::newRow("keypad Enter on 計算") << "Button1" << int(Qt::Key_Enter) << "2652335" << "";
        QTest::newRow("Ctrl+Return on 計算: no press") << "Button1" << -int(Qt::Key_Return) << "2652335"
                                                      << "-";
        QTest::newRow("bad text: the error box") << "Edit1" << int(Qt::Key_Return) << "26523x5"
                                                 << "'26523x5' is not a valid floating point value.";
    }

    void enterInInputBox()
    {
        QFETCH(QString, box);
        QFETCH(int, key);
        QFETCH(QString, northing);
        QFETCH(QString, error);
        form_->PageControl1->setCurrentWidget(form_->TabSheet1);
        form_->Edit2->setText(northing);
        Control(box)->setFocus();
        QTest::keyClick(Control(box), Qt::Key(qAbs(key)), key < 0 ? Qt::ControlModifier : KeypadIf(key));

        QCOMPARE(desktop_->errors, error.size() > 1 ? QStringList{error} : QStringList());
        const QStringList results{form_->Edit3->text(), form_->Edit4->text(), form_->Edit5->text(),
                                  form_->Edit6->text()};
        const QStringList computed{"120.97388", "23.975644", "120°58’25.97", "23°58’32.32"};
        QCOMPARE(results, error.isEmpty() ? computed : QStringList(4, QString()));
    }

    void tabOrder_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("chain");  // from the first control, Tab after Tab
        QTest::newRow("single point")
            << "TabSheet1"
            << QStringList{"RadioGroup1/0", "RadioGroup2/0", "Edit1", "Edit2", "Button1", "Button4", "Button3",
                           "Button2", "Edit3", "Edit4", "Edit5", "Edit6", "qt_tabwidget_tabbar", "RadioGroup1/0"};
        QTest::newRow("batch") << "TabSheet2"
                               << QStringList{"RadioGroup3/0", "RadioGroup4/0", "Button6", "StringGrid1",
                                              "Button5", "Memo2", "qt_tabwidget_tabbar", "RadioGroup3/0"};
    }

    void tabOrder()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, chain);
        form_->PageControl1->setCurrentWidget(Control(page));
        qobject_cast<RadioGroup*>(Control(chain[0].section('/', 0, 0)))->Item(0)->setFocus(Qt::TabFocusReason);
        QStringList seen{Name(QApplication::focusWidget())};
        while (seen.size() < chain.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << Name(QApplication::focusWidget());
        }
        QCOMPARE(seen, chain);
    }

    void copyFromTable_data()
    {
        QTest::addColumn<QRect>("cells");  // model rows and columns; null: select all
        QTest::addColumn<QStringList>("clipboard");
        QTest::newRow("one cell") << QRect(QPoint(1, 1), QPoint(1, 1)) << QStringList{"2.5"};
        QTest::newRow("one column") << QRect(QPoint(1, 0), QPoint(1, 2)) << QStringList{"1\n2.5\n-3E-5"};
        QTest::newRow("rows across both columns")
            << QRect(QPoint(1, 1), QPoint(2, 2)) << QStringList{"2.5\t4\n-3E-5\t6.25"};
        QTest::newRow("select all: no row numbers") << QRect()
                                                    << QStringList{"1\t2\n2.5\t4\n-3E-5\t6.25"};
    }

    void copyFromTable()
    {
        QFETCH(QRect, cells);
        QFETCH(QStringList, clipboard);
        BatchTableTexts texts;
        texts.Append("1", "2");
        texts.Append("2.5", "4");
        texts.Append("-3E-5", "6.25");
        form_->BatchGrid->Load(std::move(texts));
        form_->PageControl1->setCurrentWidget(form_->TabSheet2);
        QTableView* table = form_->StringGrid1;
        table->setFocus();
        QTest::keySequence(table, QKeySequence::Copy);  // nothing selected: nothing copied
        QCOMPARE(desktop_->clipboardHistory, QStringList());

        if (cells.isNull())
            QTest::keySequence(table, QKeySequence::SelectAll);
        else
            table->selectionModel()->select(QItemSelection(form_->BatchGrid->index(cells.top(), cells.left()),
                                                           form_->BatchGrid->index(cells.bottom(), cells.right())),
                                            QItemSelectionModel::ClearAndSelect);
        QTest::keySequence(table, QKeySequence::Copy);
        QCOMPARE(desktop_->clipboardHistory, clipboard);
    }

    void accessibleNames_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QStringList>("names");
        const QString dmsX = QStringLiteral("x (經度) 度分秒 degrees minutes seconds");
        const QString dmsY = QStringLiteral("y (緯度) 度分秒 degrees minutes seconds");
        const QStringList fixed{dmsX, dmsY, "坐標資料表 Coordinate table", "計算結果清單 Result list",
                                "Kartovel 標誌 Kartovel emblem", "計算", "Step1 選擇轉換方式"};
        QTest::newRow("grid to geographic")
            << 0 << QStringList{"X (E)", "Y (N)", "x (經度)", "y (緯度)"} + fixed;
        QTest::newRow("geographic to grid")
            << 1 << QStringList{"x (經度)", "y (緯度)", "X (E)", "Y (N)"} + fixed;
    }

    void accessibleNames()
    {
        QFETCH(int, direction);
        QFETCH(QStringList, names);
        form_->RadioGroup1->Item(1 - direction)->click();
        form_->RadioGroup1->Item(direction)->click();
        QStringList seen;
        for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "StringGrid1", "Memo2",
                                 "Image1", "Button1", "RadioGroup1"}) {
            QWidget* control = Control(QString::fromLatin1(name));
            seen << QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
        }
        QCOMPARE(seen, names);
    }

    void carrierIsNoAccessibleChild()
    {
        form_->PageControl1->setCurrentWidget(form_->TabSheet1);
        QAccessibleInterface* page = QAccessible::queryAccessibleInterface(form_->TabSheet1);
        QVERIFY(page);
        QStringList children;
        for (int i = 0; i < page->childCount(); ++i)
            children << Name(qobject_cast<QWidget*>(page->child(i)->object()));
        QCOMPARE(children, (QStringList{"RadioGroup1", "GroupBox1", "RadioGroup2", "GroupBox2", "Button1"}));
        QCOMPARE(page->indexOfChild(QAccessible::queryAccessibleInterface(form_->Edit7)), -1);
    }

    void linkKeys_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("url");
        const char* web = "https://www.example.org/kartovel/";
        QTest::newRow("Label2 Return") << "Label2" << int(Qt::Key_Return) << web;
        QTest::newRow("Label2 Space") << "Label2" << int(Qt::Key_Space) << web;
        QTest::newRow("Label3 keypad Enter") << "Label3" << int(Qt::Key_Enter)
                                             << "mailto:kartovel@example.org";
        QTest::newRow("Label3 letter: nothing") << "Label3" << int(Qt::Key_A) << "";
    }

    void linkKeys()
    {
        QFETCH(QString, link);
        QFETCH(int, key);
        QFETCH(QString, url);
        // Tab reaches the links: Label2 from the tab bar, Label3 from Label2.
        form_->PageControl1->setCurrentWidget(form_->TabSheet3);
        form_->PageControl1->tabBar()->setFocus();
        for (const char* stop : {"Label2", "Label3"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(Name(QApplication::focusWidget()), QString::fromLatin1(stop));
            if (stop == link)
                break;
        }
        QTest::keyClick(Control(link), Qt::Key(key), KeypadIf(key));
        QCOMPARE(desktop_->openedUrls, url.isEmpty() ? QList<QUrl>() : QList<QUrl>(1, QUrl(url)));
        // The whole line, descenders and underline, fits the box.
        QVERIFY(Control(link)->fontMetrics().height() <= Control(link)->height());
    }

    void linksAreLinks_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("url");
        QTest::newRow("web page") << "Label2" << "https://www.example.org/kartovel/";
        QTest::newRow("mail") << "Label3" << "mailto:kartovel@example.org";
    }

    void linksAreLinks()
    {
        QFETCH(QString, link);
        QFETCH(QString, url);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(Control(link));
        QCOMPARE(face->role(), QAccessible::Link);
        QCOMPARE(face->text(QAccessible::Name), qobject_cast<QLabel*>(Control(link))->text());
        // Its one action opens it, as a click does.
        QCOMPARE(face->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(desktop_->openedUrls, QList<QUrl>{QUrl(url)});
    }

    void resultsAreAnnounced_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<bool>("enter");
        QTest::addColumn<QString>("announced");
        const QString toGeographic =
            "x (經度) 120.97388; y (緯度) 23.975644; x (經度) 度分秒 degrees minutes seconds 120°58’25.97; "
            "y (緯度) 度分秒 degrees minutes seconds 23°58’32.32";
        QTest::newRow("計算") << 0 << false << toGeographic;
        QTest::newRow("Enter") << 0 << true << toGeographic;
        QTest::newRow("to TM2") << 1 << false << "X (E) 250000; Y (N) 2599660.181";
    }

    void resultsAreAnnounced()
    {
        QFETCH(int, direction);
        QFETCH(bool, enter);
        QFETCH(QString, announced);
        form_->PageControl1->setCurrentWidget(form_->TabSheet1);
        form_->RadioGroup1->Item(direction)->click();
        form_->Edit1->setText(direction == 0 ? "247342" : "121");
        form_->Edit2->setText(direction == 0 ? "2652335" : "23.5");
        if (enter)
            QTest::keyClick(form_->Edit2, Qt::Key_Return);
        else
            form_->Button1->click();
        QCOMPARE(desktop_->announcements, QStringList{"GroupBox2: " + announced});
        // A bad text announces nothing new.
        form_->Edit1->setText("x");
        form_->Button1->click();
        QCOMPARE(desktop_->announcements.size(), 1);
    }

    void radioGroupIsEnteredOnItsChoice_data()
    {
        QTest::addColumn<int>("checked");
        QTest::newRow("GRS67") << 0;
        QTest::newRow("TWD97") << 1;
    }

    void radioGroupIsEnteredOnItsChoice()
    {
        QFETCH(int, checked);
        form_->PageControl1->setCurrentWidget(form_->TabSheet1);
        form_->RadioGroup2->Item(checked)->click();
        form_->Edit1->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form_->Edit1, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(Name(QApplication::focusWidget()), QStringLiteral("RadioGroup2/%1").arg(checked));
        form_->RadioGroup1->Item(0)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(Name(QApplication::focusWidget()), QStringLiteral("RadioGroup2/%1").arg(checked));
        // An arrow key moves the choice to the other item, and the focus with it.
        QTest::keyClick(QApplication::focusWidget(), checked == 1 ? Qt::Key_Up : Qt::Key_Down);
        QCOMPARE(form_->RadioGroup2->ItemIndex(), 1 - checked);
        QCOMPARE(Name(QApplication::focusWidget()), QStringLiteral("RadioGroup2/%1").arg(1 - checked));
    }

    void tableFocusFollowsFocus()
    {
        form_->PageControl1->setCurrentWidget(form_->TabSheet2);
        QTableView* table = form_->StringGrid1;
        table->setFocus(Qt::TabFocusReason);
        const QModelIndex cell = form_->BatchGrid->index(1, 1);
        table->setCurrentIndex(cell);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(table);
        const auto cellFocused = [&] {
            return face->tableInterface()->cellAt(cell.row(), cell.column())->state().focused;
        };
        QVERIFY(cellFocused());
        form_->Button5->setFocus(Qt::TabFocusReason);
        QVERIFY(!cellFocused());
        table->setFocus(Qt::BacktabFocusReason);
        QCOMPARE(table->currentIndex(), cell);
        QVERIFY(cellFocused());
    }

    void helpOpensTheGuide()
    {
        // The guide is looked for beside the program's prefix: here, the test's own.
        QDir folder(QCoreApplication::applicationDirPath() + "/../share/doc/kartovel");
        folder.removeRecursively();
        form_->PageControl1->setCurrentWidget(form_->TabSheet3);
        QTest::keyClick(form_.get(), Qt::Key_F1);
        QCOMPARE(desktop_->openedUrls, QList<QUrl>());
        QCOMPARE(desktop_->messages.size(), 1);
        QVERIFY(desktop_->messages.front().startsWith("找不到使用說明"));

        QVERIFY(folder.mkpath("."));
        QFile guide(folder.filePath("guide.en.md"));
        QVERIFY(guide.open(QIODevice::WriteOnly));
        guide.close();
        const QUrl url = QUrl::fromLocalFile(QFileInfo(guide).absoluteFilePath());
        QTest::keyClick(form_->PageControl1->tabBar(), Qt::Key_F1);
        QTest::mouseClick(form_->Image1, Qt::LeftButton);
        QCOMPARE(desktop_->openedUrls, (QList<QUrl>{url, url}));
        QCOMPARE(form_->Image1->geometry(), QRect(24, 48, 113, 121));
        folder.removeRecursively();
    }

    void headerRowLikeDataRows()
    {
        QHeaderView* header = form_->StringGrid1->horizontalHeader();
        QCOMPARE(header->height(), 16);
        QCOMPARE(form_->StringGrid1->textElideMode(), Qt::ElideNone);
        QCOMPARE(header->textElideMode(), Qt::ElideNone);
        // The caption's room is the whole row height, enough for a line of text.
        QStyleOptionHeader option;
        option.rect = QRect(0, 0, 100, 16);
        QCOMPARE(header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header).height(), 16);
        QVERIFY(header->fontMetrics().height() <= 16);
    }

private:
    QWidget* Control(const QString& name) { return form_->findChild<QWidget*>(name); }
    std::unique_ptr<FakeDesktop> desktop_;
    std::unique_ptr<TForm1> form_;
};

KARTOVEL_OFFSCREEN_TEST_MAIN(AccessTest)
#include "test_access.moc"

// How errors reach the user, the application title, the regional decimal symbol, the
// radio groups' click rule, and how the real desktop ends the program.
#include <stdexcept>

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTranslator>

#include "geodesy/floating_point.h"
#include "offscreen_main.h"
#include "tests/support/fake_desktop.h"
#include "text/number_text.h"
#include "ui/application.h"
#include "ui/desktop_qt.h"
#include "ui/error_report.h"
#include "ui/form1.h"
#include "ui/radio_group.h"

namespace {
// Throws from its event handler whatever the event asks for.
class Thrower : public QObject {
public:
    enum Kind { Parse = QEvent::User + 1, FloatingPoint, Foreign };
    int handled = 0;
    bool event(QEvent* event) override
    {
        switch (int(event->type())) {
        case Parse: throw std::runtime_error("'x' is not a valid floating point value");
        case FloatingPoint: throw FloatingPointError(kOverflowMessage);
        case Foreign: throw 42;
        case QEvent::User: ++handled; return true;
        default: return QObject::event(event);
        }
    }
};

class CloseCounter : public QObject {
public:
    int closes = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            ++closes;
        return false;
    }
};
}  // namespace

class LifecycleTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetDecimalMark("."); }

    void errorBoxText_data();
    void errorBoxText();
    void notifyBackstop_data();
    void notifyBackstop();
    void handlerErrorResetsFloatingPoint();
    void applicationTitle_data();
    void applicationTitle();
    void decimalSymbol_data();
    void decimalSymbol();
    void qtTranslation_data();
    void qtTranslation();
    void radioGroupClicks_data();
    void radioGroupClicks();
    void realExitEndsLoopWithoutClosing();
};

void LifecycleTest::errorBoxText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    const char* rows[][3] = {
        {"parse error", "'abc' is not a valid floating point value", "'abc' is not a valid floating point value."},
        {"already a stop", "Done.", "Done."},
        {"empty", "", ""},
        {"blank", "ends in a blank ", "ends in a blank "},
        {"minus sorts before the stop", "x -", "x -"},
        {"closing parenthesis", "(x)", "(x)"},
        {"slash sorts after", "a/", "a/."},
        {"digit", "error 5", "error 5."},
        {"Chinese", "無法開啟", "無法開啟."},
        {"letter", "Floating point overflow", "Floating point overflow."},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2]);
}

void LifecycleTest::errorBoxText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorBoxText(message), shown);
}

void LifecycleTest::notifyBackstop_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("posted");
    QTest::newRow("sent") << int(Thrower::Parse) << "'x' is not a valid floating point value." << false;
    QTest::newRow("posted") << int(Thrower::Parse) << "'x' is not a valid floating point value." << true;
    QTest::newRow("floating point") << int(Thrower::FloatingPoint) << "Floating point overflow." << false;
    QTest::newRow("not a standard exception") << int(Thrower::Foreign) << "Unknown error." << true;
}

void LifecycleTest::notifyBackstop()
{
    QFETCH(int, kind);
    QFETCH(QString, shown);
    QFETCH(bool, posted);
    FakeDesktop desktop;
    auto* application = qobject_cast<Application*>(QCoreApplication::instance());
    QVERIFY(application);
    application->SetErrorDesktop(&desktop);
    SilenceInvalidOperation();
    Thrower thrower;
    if (posted) {
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::Type(kind)));
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::sendPostedEvents(&thrower);
    } else {
        QEvent event{QEvent::Type(kind)};
        QVERIFY(!QCoreApplication::sendEvent(&thrower, &event));
        QEvent next{QEvent::User};
        QVERIFY(QCoreApplication::sendEvent(&thrower, &next));
    }
    application->SetErrorDesktop(nullptr);
    QCOMPARE(desktop.errors, QStringList{shown});
    QCOMPARE(thrower.handled, 1);  // the program went on
    QCOMPARE(InvalidOperationSilenced(), kind != Thrower::FloatingPoint);
    ResetFloatingPointEnvironment();
}

void LifecycleTest::handlerErrorResetsFloatingPoint()
{
    FakeDesktop desktop;
    SilenceInvalidOperation();
    QVERIFY(!RunReportingErrors(desktop, [] { throw FloatingPointError(kDivisionByZeroMessage); }));
    QVERIFY(!InvalidOperationSilenced());
    SilenceInvalidOperation();
    QVERIFY(!RunReportingErrors(desktop, [] { throw std::runtime_error("no stop"); }));
    QVERIFY(InvalidOperationSilenced());  // only an arithmetic fault resets
    ResetFloatingPointEnvironment();
    QVERIFY(RunReportingErrors(desktop, [] {}));
    QCOMPARE(desktop.errors, (QStringList{"Floating point division by zero.", "no stop."}));
}

void LifecycleTest::applicationTitle_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    const char* rows[][3] = {
        {"plain", "/usr/bin/Kartovel", "Kartovel"},
        {"upper case with extension", "/opt/k/KARTOVEL.EXE", "Kartovel"},
        {"first dot ends the name", "/tmp/kartovel.v2.bin", "kartovel"},
        {"first character kept", "relative/mIXED", "mixed"},
        {"hidden file", "/tmp/.kartovel", ""},
        {"Chinese", "/opt/座標轉換", "座標轉換"},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2]);
}

void LifecycleTest::applicationTitle()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    QCOMPARE(ApplicationTitle(path), title);
}

void LifecycleTest::decimalSymbol_data()
{
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("longitude");  // Edit3 after computing the start-up point
    QTest::newRow("comma") << "," << "," << "120,97388";
    QTest::newRow("first character only") << ",." << "," << "120,97388";
    QTest::newRow("empty gives the stop") << "" << "." << "120.97388";
    QTest::newRow("Arabic decimal separator") << "٫" << "٫" << "120٫97388";
    QTest::newRow("outside the basic plane") << "𝟙x" << "𝟙" << "120𝟙97388";
}

void LifecycleTest::decimalSymbol()
{
    QFETCH(QString, symbol);
    QFETCH(QString, mark);
    QFETCH(QString, longitude);
    FakeDesktop desktop;
    desktop.decimalSymbol = QStringLiteral(";");
    TForm1 form(desktop);
    QCOMPARE(QString::fromStdString(DecimalMark()), QStringLiteral(";"));  // read at start

    desktop.decimalSymbol = symbol;
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(&form, &change);
    QCOMPARE(QString::fromStdString(DecimalMark()), mark);
    form.Button1->click();
    QCOMPARE(desktop.errors, QStringList());
    QCOMPARE(form.Edit3->text(), longitude);
}

void LifecycleTest::qtTranslation_data()
{
    // Qt's own texts: a standard button, the file dialog, a context menu entry.
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("Taiwan") << "zh_TW" << QStringList{"確定", "開啟", "複製(&C)"};
    QTest::newRow("Hong Kong reads Taiwan's") << "zh_HK" << QStringList{"確定", "開啟", "複製(&C)"};
    QTest::newRow("English") << "en_US" << QStringList{"OK", "Open", "&Copy"};
}

void LifecycleTest::qtTranslation()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, texts);
    QTranslator* translator = InstallQtTranslation(QLocale(locale));
    const QStringList seen{QCoreApplication::translate("QPlatformTheme", "OK"),
                           QCoreApplication::translate("QFileDialog", "Open"),
                           QCoreApplication::translate("QLineEdit", "&Copy")};
    const bool found = translator;
    delete translator;  // uninstalls it
    QVERIFY2(found || locale.startsWith(QStringLiteral("en")),
             "no Qt translation found: install the Debian package qt6-translations-l10n");
    QCOMPARE(seen, texts);
}

void LifecycleTest::radioGroupClicks_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("action");  // "set N" or "click N"
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("index");
    QTest::newRow("program moves") << 0 << "set 1" << 1 << 1;
    QTest::newRow("program keeps") << 0 << "set 0" << 0 << 0;
    QTest::newRow("program clears") << 1 << "set -1" << 0 << -1;
    QTest::newRow("program selects from none") << -1 << "set 0" << 1 << 0;
    QTest::newRow("past the last item") << 0 << "set 7" << 1 << 1;
    QTest::newRow("below -1") << 1 << "set -5" << 0 << -1;
    QTest::newRow("user moves") << 0 << "click 1" << 1 << 1;
    QTest::newRow("user clicks the selected item") << 1 << "click 1" << 0 << 1;
    QTest::newRow("user clicks far right on the item") << 0 << "end 1" << 1 << 1;
    QTest::newRow("user clicks the row beside the item") << 0 << "row 1" << 1 << 1;
    QTest::newRow("user clicks the group's caption") << 0 << "caption 1" << 0 << 0;
}

void LifecycleTest::radioGroupClicks()
{
    QFETCH(int, start);
    QFETCH(QString, action);
    QFETCH(int, clicks);
    QFETCH(int, index);
    QWidget window;
    RadioGroup group(QStringLiteral("caption"), {QStringLiteral("a"), QStringLiteral("b")}, &window);
    group.setGeometry(0, 0, 217, 185);
    window.show();
    group.SetItemIndex(start);
    QSignalSpy spy(&group, &RadioGroup::Click);
    // Click is raised before the setting call returns.
    int seenInside = -2;
    connect(&group, &RadioGroup::Click, &group, [&] { seenInside = group.ItemIndex(); });
    const int value = action.section(' ', 1).toInt();
    if (action.startsWith(QStringLiteral("set"))) {
        group.SetItemIndex(value);
    } else {
        // On the text, at the item's right end, in the group's right margin level with the
        // item, or on the caption above the items.
        QRadioButton* item = group.Item(value);
        const QPoint middle(6, item->height() / 2);
        if (action.startsWith(QStringLiteral("click")))
            QTest::mouseClick(item, Qt::LeftButton, {}, middle);
        else if (action.startsWith(QStringLiteral("end")))
            QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(item->width() - 1, middle.y()));
        else
            QTest::mouseClick(&group, Qt::LeftButton, {},
                              QPoint(group.width() - 2, action.startsWith(QStringLiteral("row"))
                                                            ? item->mapToParent(middle).y() : 2));
    }
    QCOMPARE(spy.count(), clicks);
    QCOMPARE(group.ItemIndex(), index);
    if (clicks > 0)
        QCOMPARE(seenInside, index);
}

void LifecycleTest::realExitEndsLoopWithoutClosing()
{
    // The whole exit path with the real desktop: the farewell box (its text, title and no
    // icon), closed as a user does, then the loop ends with 0 and no window is closed.
    QtDesktop desktop(QStringLiteral("Kartovel"));
    TForm1 form(desktop);
    form.show();
    CloseCounter counter;
    form.installEventFilter(&counter);
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            box->button(QMessageBox::Ok)->click();
        }
    });
    closer.start(20);
    QTimer::singleShot(0, form.Button2, &QPushButton::click);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });  // no hang if it fails

    const int status = QCoreApplication::exec();

    QCOMPARE(status, 0);
    QCOMPARE(text, QStringLiteral("感謝使用  Kartovel1.0 "));
    QCOMPARE(title, QStringLiteral("Kartovel"));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(counter.closes, 0);
    QVERIFY(form.isVisible());
}

KARTOVEL_OFFSCREEN_TEST_MAIN(LifecycleTest)
#include "test_lifecycle.moc"

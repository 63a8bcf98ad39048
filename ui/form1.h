#pragma once
// The program's one window: a page control with the single-point page, the batch page
// and the about page. Controls keep their classic form names (Edit1, Button1, ...) and
// are public so that tests reach them by name; every user event has one handler named
// after the control and the event. Handlers catch nothing: the connection wrapper (form1.cpp)
// reports whatever leaves a handler in the error box.
#include <QList>
#include <QString>
#include <QWidget>

#include "geodesy/ellipsoid.h"
#include "text/conversion.h"  // ConversionMode

class QByteArray;

class QDragEnterEvent;
class QDropEvent;
class QEvent;
class QUrl;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;

class BatchTable;
class Desktop;
class LinkLabel;
class RadioGroup;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(Desktop& desktop, QWidget* parent = nullptr);
    ~TForm1() override;

    const Ellipsoid& CurrentEllipsoid() const { return ellipsoid_; }

    // Single-point page.
    void RadioGroup1Click();
    void RadioGroup2Click();
    void Button1Click();
    void Button3Click();
    void Button4Click();
    void Button2Click();
    // Batch page.
    void Button6Click();
    void RadioGroup3Click();
    void RadioGroup4Click();
    void Button5Click();
    // The copy key on the table: the selected cells, tab-separated, to the clipboard.
    void StringGrid1Copy();
    // The paste key or menu item on the table: the clipboard's text loaded as a file
    // holding that text (in UTF-8) would load.
    void StringGrid1Paste();
    // Files dropped on the window or the table: one local file loads as "檔案載入"
    // with that file would.
    void FormDragDrop(const QList<QUrl>& urls);
    // F1 or a click on the emblem: the installed user guide in the desktop's viewer.
    void FormHelp();
    // About page.
    void Label2Click();
    void Label3Click();

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;

    RadioGroup* RadioGroup1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Panel1 = nullptr;
    QLabel* Panel2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    RadioGroup* RadioGroup2 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Panel3 = nullptr;
    QLabel* Panel4 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button1 = nullptr;
    QLineEdit* Edit7 = nullptr;

    RadioGroup* RadioGroup3 = nullptr;
    RadioGroup* RadioGroup4 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QPushButton* Button6 = nullptr;
    QTableView* StringGrid1 = nullptr;  // shows BatchGrid
    BatchTable* BatchGrid = nullptr;    // the table's texts (model of StringGrid1)
    QPushButton* Button5 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;    // BatchResultList

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    LinkLabel* Label2 = nullptr;
    LinkLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;

protected:
    // Re-reads DecimalMark when the desktop announces new regional settings.
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildSinglePage();
    void BuildBatchPage();
    void BuildAboutPage();
    void ConnectHandlers();
    // Tab order: each page's steps in their numbered order, the input boxes straight to
    // the compute button and the buttons after it.
    void SetTabOrder();
    // The loading behind "檔案載入", paste and drop: a path (checked to be a regular file
    // and read), or the bytes of a text; then the table, and the load report if any.
    void LoadFile(const QString& path);
    void LoadText(QByteArray bytes);
    // Tells what the single-point results are to assistive technology.
    void AnnounceResults();
    // Makes a datum choice current and moves both datum groups to its item.
    void SelectEllipsoid(int index);
    // DecimalMark <- the first character of the desktop's decimal symbol.
    void ReadDecimalMark();
    // Sizes the client area so that, with the frame the window manager draws, the window
    // measures 611 x 422 outside; until a frame is known the client takes the whole size.
    void FitOuterSize();

    Desktop& desktop_;
    Ellipsoid ellipsoid_;
    bool frameFitted_ = false;

    // Batch page state (form1_batch.cpp).
    QString openDialogFile_;  // OpenDialog1: the file chosen last, where the next use starts
};

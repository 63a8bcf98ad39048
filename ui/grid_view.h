#pragma once
// What the batch table does as a classic grid does, beyond a plain table view: its header
// row drawn like the other rows, and the selection copied as spreadsheets take it.
#include <QObject>
#include <QPersistentModelIndex>
#include <QProxyStyle>
#include <QString>

class QAbstractItemView;
class QItemSelectionModel;

// For the table's header only: each caption over the section's whole height, two pixels in
// from its left edge and cut at its right edge, so that a header row as high as a data row
// shows its captions whole. (The base styles keep a margin of four pixels on every side,
// which leaves too little height for a line of text in a 16-pixel row.) Takes ownership of
// `base`.
class GridHeaderStyle : public QProxyStyle {
public:
    explicit GridHeaderStyle(QStyle* base);
    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget) const override;
    // The base styles place a section's caption by their own label rectangle, not by the
    // proxy's: the section is drawn here, with the caption where subElementRect says.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};

// The selected cells of the selection's model as tab-separated lines: the rectangle that
// holds every selected cell, row by row from the top, each row's cells left to right joined
// by "\t", the rows joined by "\n" with no line end after the last. Columns in which no cell
// can be selected (the row numbers) are left out; a cell of the rectangle that is not
// selected gives an empty text. Nothing selected gives an empty text.
QString SelectedCellsText(const QItemSelectionModel& selection);

// Keeps a view's current cell only while the view has the focus, so that assistive
// technology, which reports the current cell as focused, never sees a focused cell in a
// view without the focus. The cell is put back when the focus returns (and the
// selection is never touched). A child of the view.
class CurrentCellFollowsFocus : public QObject {
public:
    explicit CurrentCellFollowsFocus(QAbstractItemView* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractItemView* view_;
    QPersistentModelIndex saved_;
};

#pragma once
// A captioned group of radio buttons with one selected item index. A click anywhere on
// an item's row selects the item. The group is one stop in the Tab order, on its
// selected item; the arrow keys move the selection within it.
// Click() is emitted whenever the selected item changes, whether the user clicked
// another item or the program called SetItemIndex, before SetItemIndex returns;
// clicking the item that is already selected, or setting the current index, emits
// nothing.
#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QMouseEvent;
class QResizeEvent;
class QRadioButton;

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent);

    // -1 when no item is selected.
    int ItemIndex() const;
    // -1 clears the selection; values outside -1 .. Count()-1 are clamped to that range.
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const;
    int Count() const;

signals:
    void Click();

protected:
    // Spreads the items evenly over the height below the caption, one per row, as a
    // classic dialog's radio group does; the group has no layout of its own.
    void resizeEvent(QResizeEvent* event) override;
    // A click on an item's row beside the item (in the margins of the frame) selects it.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ArrangeItems();
    void FollowSelectionWithTabStop();
    // The item whose row (the band of its height across the whole group) holds pos.
    QRadioButton* ItemOnRowAt(const QPoint& pos) const;

    QRadioButton* pressedItem_ = nullptr;

    QButtonGroup* buttons_;
};

#pragma once
// A captioned group of radio buttons with one selected item index.
// Click() is emitted whenever the selected item changes, whether the user clicked
// another item or the program called SetItemIndex, before SetItemIndex returns;
// clicking the item that is already selected, or setting the current index, emits
// nothing.
#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent);

    // -1 when no item is selected.
    int ItemIndex() const;
    // -1 clears the selection.
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const;
    int Count() const;

signals:
    void Click();

private:
    QButtonGroup* buttons_;
};

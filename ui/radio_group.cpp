#include "radio_group.h"

#include <QButtonGroup>
#include <QMouseEvent>
#include <QRadioButton>
#include <QResizeEvent>

namespace {
// A radio item that answers a click anywhere on its row, as a classic group's items do;
// a plain radio button answers only around its circle and text.
class RadioItem : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};
}  // namespace

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this))
{
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new RadioItem(items[i], this);
        buttons_->addButton(button, i);
    }
    ArrangeItems();
    // idToggled fires for programmatic changes too (idClicked would not); only the
    // newly checked button counts, so one change gives one Click.
    connect(buttons_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        FollowSelectionWithTabStop();
        if (checked)
            emit Click();
    });
    FollowSelectionWithTabStop();
}

void RadioGroup::FollowSelectionWithTabStop()
{
    // Tab enters the group on its checked item (on the first when none is checked), and
    // the arrow keys move within it: the other items take the focus by click only.
    const int tabStop = qMax(0, ItemIndex());
    for (QAbstractButton* item : buttons_->buttons())
        item->setFocusPolicy(buttons_->id(item) == tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

int RadioGroup::ItemIndex() const
{
    return buttons_->checkedId();
}

void RadioGroup::SetItemIndex(int index)
{
    // Out-of-range values are clamped, as a classic radio group's index property does: a
    // value past the last item selects the last item, one below -1 clears.
    index = qBound(-1, index, Count() - 1);
    if (index == ItemIndex())
        return;
    if (QAbstractButton* button = buttons_->button(index)) {
        button->setChecked(true);
        return;
    }
    // Clearing the selection: an exclusive group refuses to uncheck its last button.
    if (QAbstractButton* checked = buttons_->checkedButton()) {
        buttons_->setExclusive(false);
        checked->setChecked(false);
        buttons_->setExclusive(true);
    }
}

QRadioButton* RadioGroup::Item(int index) const
{
    return qobject_cast<QRadioButton*>(buttons_->button(index));
}

int RadioGroup::Count() const
{
    return static_cast<int>(buttons_->buttons().size());
}

void RadioGroup::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    ArrangeItems();
}

void RadioGroup::ArrangeItems()
{
    const QList<QAbstractButton*> items = buttons_->buttons();
    if (items.isEmpty())
        return;
    // The caption occupies one text line on the top frame; the rest, less a small bottom
    // margin, is divided into equal rows, the remainder split above and below them.
    const int count = static_cast<int>(items.size());
    const int captionHeight = fontMetrics().height();
    const int free = qMax(0, height() - captionHeight - 5);
    const int rowHeight = free / count;
    const int top = captionHeight + 1 + (free % count) / 2;
    const int rowWidth = qMax(0, width() - 10);
    for (int i = 0; i < count; ++i)
        buttons_->button(i)->setGeometry(8, top + i * rowHeight, rowWidth - 6, rowHeight);
}

QRadioButton* RadioGroup::ItemOnRowAt(const QPoint& pos) const
{
    // The items leave a margin on either side of the frame's inside; a click there still
    // belongs to the row it is level with.
    if (pos.x() < 0 || pos.x() >= width())
        return nullptr;
    for (QAbstractButton* item : buttons_->buttons())
        if (pos.y() >= item->y() && pos.y() < item->y() + item->height())
            return qobject_cast<QRadioButton*>(item);
    return nullptr;
}

void RadioGroup::mousePressEvent(QMouseEvent* event)
{
    pressedItem_ = event->button() == Qt::LeftButton ? ItemOnRowAt(event->position().toPoint()) : nullptr;
    QGroupBox::mousePressEvent(event);
    if (pressedItem_)
        event->accept();
}

void RadioGroup::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a press and a release on the same row, as on the item itself.
    QRadioButton* item = event->button() == Qt::LeftButton ? ItemOnRowAt(event->position().toPoint()) : nullptr;
    const bool click = item && item == pressedItem_;
    pressedItem_ = nullptr;
    QGroupBox::mouseReleaseEvent(event);
    if (click && item->isEnabled()) {
        item->setFocus(Qt::MouseFocusReason);
        item->click();
    }
}

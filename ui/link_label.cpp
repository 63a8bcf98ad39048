#include "link_label.h"

#include <QAccessibleWidget>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {
// What assistive technology sees of a link label: a link named by its text, whose one
// action opens it, as the mouse and the keys do.
class LinkLabelAccessible : public QAccessibleWidget {
public:
    explicit LinkLabelAccessible(LinkLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && accessibleName().isEmpty())
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            emit static_cast<LinkLabel*>(widget())->Click();
    }

private:
    QString accessibleName() const { return widget()->accessibleName(); }
};

QAccessibleInterface* LinkLabelInterface(const QString&, QObject* object)
{
    if (auto* label = qobject_cast<LinkLabel*>(object))
        return new LinkLabelAccessible(label);
    return nullptr;
}
}  // namespace

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    static const bool installed = (QAccessible::installFactory(LinkLabelInterface), true);
    Q_UNUSED(installed);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(palette);
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a press and a release of the left button, the release still over the
    // label: dragging off it cancels, as with a button.
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click)
        emit Click();
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    // Enter (either key) or Space opens the link, as they press a focused button; a
    // key held down opens it once.
    const bool opens = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
                       (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                        event->key() == Qt::Key_Space);
    if (!opens) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat())
        emit Click();
}

void LinkLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // The classic dotted focus frame around the text (not the whole, wider box).
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    const int textWidth = fontMetrics().horizontalAdvance(text()) + 2;
    option.rect = QRect(0, 0, qMin(textWidth, width()), height());
    option.backgroundColor = palette().color(backgroundRole());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

QFont FontFittingLineHeight(QFont font, int height)
{
    // A face's line is taller than its nominal size when its ascent leaves room for
    // accented capitals (a Latin serif face at 16 px needs 19 px), and a line taller
    // than the label is cut at the bottom, through the descenders and the underline.
    while (font.pixelSize() > 1 && QFontMetrics(font).height() > height)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

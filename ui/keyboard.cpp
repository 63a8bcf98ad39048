#include "keyboard.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QWidget>

KeyCommand::KeyCommand(QWidget* control, Matcher matches) : QObject(control), matches_(matches)
{
    control->installEventFilter(this);
}

bool KeyCommand::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    if (!matches_(static_cast<const QKeyEvent&>(*event)))
        return false;
    emit Triggered();
    return true;
}

ClickWatcher::ClickWatcher(QWidget* control) : QObject(control)
{
    control->installEventFilter(this);
}

bool ClickWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* release = static_cast<QMouseEvent*>(event);
        const bool click = pressed_ && release->button() == Qt::LeftButton &&
                           static_cast<QWidget*>(watched)->rect().contains(release->position().toPoint());
        pressed_ = false;
        if (click)
            emit Clicked();
    }
    return QObject::eventFilter(watched, event);
}

bool IsEnterKey(const QKeyEvent& event)
{
    // The keypad's Enter arrives with the keypad modifier, which is no modifier to the user.
    return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
           (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool IsCopyKey(const QKeyEvent& event)
{
    return event.matches(QKeySequence::Copy);
}

bool IsPasteKey(const QKeyEvent& event)
{
    return event.matches(QKeySequence::Paste);
}

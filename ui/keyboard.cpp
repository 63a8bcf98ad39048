#include "keyboard.h"

#include <QKeyEvent>
#include <QKeySequence>
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

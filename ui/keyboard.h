#pragma once
// Keys the window answers beyond what its controls do by themselves: Enter on a focused
// button, Enter in an input box, the copy key on the batch table.
#include <QObject>

class QEvent;
class QKeyEvent;
class QWidget;

// Watches one control's key presses. A press that `matches` accepts is taken from the
// control, so that its own handling of that key does not run, and raised as Triggered().
// The watcher is a child of the control and goes with it.
class KeyCommand : public QObject {
    Q_OBJECT
public:
    using Matcher = bool (*)(const QKeyEvent&);
    KeyCommand(QWidget* control, Matcher matches);

signals:
    void Triggered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Matcher matches_;
};

// Return or the keypad's Enter, with no modifier.
bool IsEnterKey(const QKeyEvent& event);
// The desktop's copy key (Ctrl+C, or Ctrl+Insert where that is the custom).
bool IsCopyKey(const QKeyEvent& event);

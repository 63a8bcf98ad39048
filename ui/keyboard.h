#pragma once
// Keys the window answers beyond what its controls do by themselves: Enter on a focused
// button, Enter in an input box, the copy and paste keys on the batch table.
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

// Watches one control for a click of the left button: a press and a release over it.
// For a control that is no button (the about page's emblem). A child of the control.
class ClickWatcher : public QObject {
    Q_OBJECT
public:
    explicit ClickWatcher(QWidget* control);

signals:
    void Clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool pressed_ = false;
};

// Return or the keypad's Enter, with no modifier.
bool IsEnterKey(const QKeyEvent& event);
// The desktop's copy key (Ctrl+C, or Ctrl+Insert where that is the custom).
bool IsCopyKey(const QKeyEvent& event);
// The desktop's paste key (Ctrl+V, or Shift+Insert where that is the custom).
bool IsPasteKey(const QKeyEvent& event);

#pragma once
// Feedback for long work inside a click handler, on the one user-interface thread.
//
// While a BusyProgress lives the mouse shows the busy cursor. Once the work has taken
// longer than half a second, a window-modal progress dialog without a cancel button
// appears; from then on Advance() repaints it and lets the window repaint now and then.
// The modal dialog blocks input to the window, so no other handler can run in
// between, and the user cannot close it. Short work never shows the dialog and never
// processes events. The destructor closes the dialog and restores the cursor, also
// when the work ends by an exception.
#include <QElapsedTimer>
#include <QString>

class QProgressDialog;
class QWidget;

class BusyProgress {
public:
    explicit BusyProgress(QWidget* window);
    ~BusyProgress();
    BusyProgress(const BusyProgress&) = delete;
    BusyProgress& operator=(const BusyProgress&) = delete;

    // Starts a stage of the work: its label and the count Advance reaches at its end.
    void Stage(const QString& label, long long total);
    // Reports that `done` units of the stage are finished. Cheap enough to call per row.
    void Advance(long long done)
    {
        if (done - lastLook_ >= kLookEvery)
            Look(done);
    }
    // True once the dialog has been shown.
    bool DialogShown() const { return dialog_ != nullptr; }

    static constexpr int kShowAfterMs = 500;

private:
    static constexpr long long kLookEvery = 2048;
    static constexpr int kRepaintEveryMs = 100;
    void Look(long long done);
    void Show();
    void Repaint(long long done);

    QWidget* window_;
    QString label_;
    long long total_ = 1;
    long long lastLook_ = 0;
    QElapsedTimer started_;
    qint64 lastRepaintMs_ = 0;
    QProgressDialog* dialog_ = nullptr;  // owned; a child of window_ while it lives
};

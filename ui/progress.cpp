#include "progress.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QProgressDialog>

// A progress dialog the user cannot dismiss: no cancel button, Escape and the close
// box do nothing. Dismissing it would unblock the window while its handler still runs.
class UndismissableProgressDialog : public QProgressDialog {
public:
    using QProgressDialog::QProgressDialog;
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

BusyProgress::BusyProgress(QWidget* window) : window_(window)
{
    started_.start();
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyProgress::~BusyProgress()
{
    delete dialog_;
    QApplication::restoreOverrideCursor();
}

void BusyProgress::Stage(const QString& label, long long total)
{
    label_ = label;
    total_ = std::max(total, 1LL);
    lastLook_ = 0;
    if (dialog_) {
        dialog_->setLabelText(label_);
        dialog_->setValue(0);
        QApplication::processEvents();
    }
}

void BusyProgress::Look(long long done)
{
    lastLook_ = done;
    const qint64 elapsed = started_.elapsed();
    if (!dialog_) {
        if (elapsed < kShowAfterMs)
            return;
        Show();
    } else if (elapsed - lastRepaintMs_ < kRepaintEveryMs) {
        return;
    }
    Repaint(done);
}

void BusyProgress::Show()
{
    auto* dialog = new UndismissableProgressDialog(window_);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setCancelButton(nullptr);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(0);
    dialog->setLabelText(label_);
    // QProgressDialog counts in int: per mille, whatever the total.
    dialog->setRange(0, 1000);
    dialog_ = dialog;
    dialog->show();
}

void BusyProgress::Repaint(long long done)
{
    lastRepaintMs_ = started_.elapsed();
    dialog_->setValue(static_cast<int>(std::min(done, total_) * 1000 / total_));
    QApplication::processEvents();
}

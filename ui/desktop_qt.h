#pragma once
// The desktop as the running program sees it: Qt's message boxes, file dialog, clipboard,
// URL handling and event loop.
#include "desktop.h"

class QtDesktop : public Desktop {
public:
    // title: the caption of every message box (ApplicationTitle of the executable).
    explicit QtDesktop(const QString& title);

    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    void ShowWarning(const QString& text) override;
    std::optional<QString> GetOpenFileName(const QString& startFile) override;
    void SetClipboardText(const QString& text) override;
    QString ClipboardText() override;
    void OpenUrl(const QUrl& url) override;
    // Ends the event loop with the status as soon as control returns to it. main() then
    // returns, so the application object's teardown runs (on X11 that hands the clipboard
    // to the clipboard manager) and exit routines run; no close event reaches any window.
    void ExitProcess(int status) override;
    // The text becomes the source's accessible description, raised as an alert.
    void Announce(QWidget* source, const QString& text) override;
    // The system locale's decimal point (from LC_ALL, LC_NUMERIC or LANG on Linux).
    QString DecimalSymbol() override;

private:
    QString title_;
};

#pragma once
// Everything the window asks of the desktop goes through this one interface, so that
// tests can drive every handler offscreen with a recording fake and no modal dialog.
#include <optional>

#include <QString>
#include <QUrl>

class QWidget;

class Desktop {
public:
    virtual ~Desktop() = default;
    // Plain modal message: the text, one OK button, no icon, the application title.
    virtual void ShowMessage(const QString& text) = 0;
    // Error box: as ShowMessage, with a stop icon. The text is shown as given.
    virtual void ShowError(const QString& text) = 0;
    // Warning box: as ShowMessage, with a warning icon: something was done, but the
    // result may not be what the user meant.
    virtual void ShowWarning(const QString& text) = 0;
    // The open-file dialog: no filter, no title of its own, a typed name of a file
    // that does not exist accepted; starts at startFile when it is not empty.
    // Returns the chosen path, or nothing when the user cancels.
    virtual std::optional<QString> GetOpenFileName(const QString& startFile) = 0;
    // Replaces the clipboard's content with a plain text.
    virtual void SetClipboardText(const QString& text) = 0;
    // The clipboard's content as plain text (empty when it holds none).
    virtual QString ClipboardText() = 0;
    // Hands a URL to the desktop's default handler (a file URL: the viewer for the file's
    // kind); failure is ignored.
    virtual void OpenUrl(const QUrl& url) = 0;
    // Ends the program at once with the status, without the window's close sequence.
    virtual void ExitProcess(int status) = 0;
    // Has assistive technology (a screen reader) tell the user a text at once, whichever
    // control has the focus; `source` is the control the text is about.
    virtual void Announce(QWidget* source, const QString& text) = 0;
    // The user's regional decimal symbol (may be empty).
    virtual QString DecimalSymbol() = 0;
};

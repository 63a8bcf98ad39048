#pragma once
// The application object: the classic dialog look for every window, and the backstop that
// keeps an error escaping any event handler from ending the process.
#include <QApplication>
#include <QString>

class Desktop;
class QLocale;
class QTranslator;

// The title of every message box: the executable's file name without its directory and
// without everything from its first ".", first character as it is, the rest in lower case
// ("/usr/bin/KARTOVEL.EXE" gives "Kartovel").
QString ApplicationTitle(const QString& executablePath);

// Installs Qt's own translation (file dialog, standard buttons, context menus) for the
// locale's languages, from the translations the system's Qt ships (Debian package
// qt6-translations-l10n), into the running application. Returns the installed translator,
// owned by the application, or nullptr when none fits (English, or the package missing).
QTranslator* InstallQtTranslation(const QLocale& locale);

class Application : public QApplication {
    Q_OBJECT
public:
    // Sets the "Windows" style, the 11-pixel interface font with its Chinese fallback,
    // the Ming face for the about page's font name, the window icon, and Qt's own texts
    // in the desktop's language.
    Application(int& argc, char** argv);

    // Where errors caught by notify() are shown; not owned. Without one they go to the
    // log and are otherwise dropped.
    void SetErrorDesktop(Desktop* desktop) { errorDesktop_ = desktop; }

    // Delivers the event like QApplication does; an exception that leaves the receiver is
    // reported like a handler's error (error box, floating-point reset), the event counts
    // as not handled, and the event loop goes on.
    bool notify(QObject* receiver, QEvent* event) override;

private:
    Desktop* errorDesktop_ = nullptr;
};

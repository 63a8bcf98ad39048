// Start-up: the application object, the real desktop, the window, the event loop.
#include <exception>
#include <memory>

#include "application.h"
#include "desktop_qt.h"
#include "display_check.h"
#include "error_report.h"
#include "form1.h"

int main(int argc, char** argv)
{
    // Without a display the application object cannot be made: say so in one line and
    // exit 1, rather than let Qt abort with its advice to reinstall.
    auto guard = std::make_unique<NoDisplayGuard>();
    Application application(argc, argv);
    guard.reset();
    QtDesktop desktop(ApplicationTitle(QCoreApplication::applicationFilePath()));
    application.SetErrorDesktop(&desktop);

    // No Qt object lives in static storage: everything is destroyed here, in order, before
    // the application object, whose teardown hands the clipboard to the clipboard manager.
    std::unique_ptr<TForm1> form;
    try {
        form = std::make_unique<TForm1>(desktop);
        form->show();
    } catch (...) {
        // An error escaping start-up is shown like any other; the program then ends.
        ReportError(desktop, std::current_exception());
        return 0;
    }
    // Closing the window ends the loop with 0; so does the exit button (QtDesktop::ExitProcess).
    return application.exec();
}

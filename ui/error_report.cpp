#include "error_report.h"

#include "desktop.h"
#include "geodesy/floating_point.h"

QString ErrorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void ReportError(Desktop& desktop, std::exception_ptr error)
{
    QString message;
    try {
        std::rethrow_exception(error);
    } catch (const FloatingPointError& e) {
        // A fault of the arithmetic itself: start the next event from the default
        // environment, whatever state the failed computation left behind.
        ResetFloatingPointEnvironment();
        message = QString::fromUtf8(e.what());
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    desktop.ShowError(ErrorBoxText(message));
}

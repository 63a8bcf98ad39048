#include "desktop_qt.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QWidget>

namespace {
void ShowBox(QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
}  // namespace

QtDesktop::QtDesktop(const QString& title) : title_(title) {}

void QtDesktop::ShowMessage(const QString& text)
{
    ShowBox(QMessageBox::NoIcon, title_, text);
}

void QtDesktop::ShowError(const QString& text)
{
    ShowBox(QMessageBox::Critical, title_, text);
}

void QtDesktop::ShowWarning(const QString& text)
{
    ShowBox(QMessageBox::Warning, title_, text);
}

std::optional<QString> QtDesktop::GetOpenFileName(const QString& startFile)
{
    QFileDialog dialog(QApplication::activeWindow());
    // A typed name of a file that does not exist is accepted; opening it is the caller's.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!startFile.isEmpty())
        dialog.selectFile(startFile);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    return files.front();
}

void QtDesktop::SetClipboardText(const QString& text)
{
    QApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

QString QtDesktop::ClipboardText()
{
    return QApplication::clipboard()->text(QClipboard::Clipboard);
}

void QtDesktop::OpenUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

void QtDesktop::ExitProcess(int status)
{
    QCoreApplication::exit(status);
}

void QtDesktop::Announce(QWidget* source, const QString& text)
{
    source->setAccessibleDescription(text);
    QAccessibleEvent described(source, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
    QAccessibleEvent alert(source, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

QString QtDesktop::DecimalSymbol()
{
    return QLocale::system().decimalPoint();
}

#pragma once
// A Desktop that records what the window asked of it, for offscreen handler tests.
#include <deque>
#include <optional>

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include "ui/desktop.h"

class FakeDesktop : public Desktop {
public:
    QStringList messages;              // ShowMessage texts, in order
    QStringList errors;                // ShowError texts, in order
    QStringList warnings;              // ShowWarning texts, in order
    QStringList clipboardHistory;      // every SetClipboardText
    QString clipboardText;             // what ClipboardText answers
    QList<QUrl> openedUrls;
    QStringList announcements;         // "<source's object name>: <text>" of every Announce
    QStringList openDialogStarts;      // startFile of every GetOpenFileName
    std::deque<std::optional<QString>> openDialogAnswers;  // consumed in order; empty: cancel
    std::optional<int> exitStatus;
    QString decimalSymbol = QStringLiteral(".");

    void ShowMessage(const QString& text) override { messages << text; }
    void ShowError(const QString& text) override { errors << text; }
    void ShowWarning(const QString& text) override { warnings << text; }
    std::optional<QString> GetOpenFileName(const QString& startFile) override
    {
        openDialogStarts << startFile;
        std::optional<QString> answer;  // an empty queue answers as a cancel
        if (!openDialogAnswers.empty()) {
            answer.swap(openDialogAnswers.front());
            openDialogAnswers.pop_front();
        }
        return answer;
    }
    void SetClipboardText(const QString& text) override { clipboardHistory << text; }
    QString ClipboardText() override { return clipboardText; }
    void OpenUrl(const QUrl& url) override { openedUrls << url; }
    void ExitProcess(int status) override { exitStatus = status; }
    void Announce(QWidget* source, const QString& text) override
    {
        announcements << source->objectName() + QStringLiteral(": ") + text;
    }
    QString DecimalSymbol() override { return decimalSymbol; }
};

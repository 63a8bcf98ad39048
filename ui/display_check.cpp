#include "display_check.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QString>
#include <QtGlobal>

const char* const kNoDisplayLine =
    "Kartovel 需要圖形桌面，但無法開啟顯示器：請在桌面環境中啟動它。"
    " / Kartovel needs a graphical desktop, but no display could be opened: start it from a desktop session.";

namespace {
struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

// Only start-up uses the guard, before any other thread exists.
QtMessageHandler previousHandler = nullptr;
std::vector<HeldMessage>* heldMessages = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        // The only fatal message while the application object is made is the one about
        // a platform plugin that could not open a display; Qt would abort right after it.
        std::fputs(kNoDisplayLine, stderr);
        std::fputc('\n', stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    heldMessages->push_back({type, context.category ? context.category : "", text});
}
}  // namespace

NoDisplayGuard::NoDisplayGuard()
{
    heldMessages = new std::vector<HeldMessage>;
    previousHandler = qInstallMessageHandler(HoldMessage);
}

NoDisplayGuard::~NoDisplayGuard()
{
    qInstallMessageHandler(previousHandler);
    std::vector<HeldMessage>* held = heldMessages;
    heldMessages = nullptr;
    for (const HeldMessage& m : *held) {
        const QMessageLogContext context(nullptr, 0, nullptr, m.category.c_str());
        if (previousHandler)
            previousHandler(m.type, context, m.text);
        else
            qt_message_output(m.type, context, m.text);
    }
    delete held;
}

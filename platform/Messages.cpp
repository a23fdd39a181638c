#include "platform/Messages.h"

#include <cstdio>

namespace tv {
namespace {
TMessageHandlers& Handlers() {
    static TMessageHandlers handlers;
    return handlers;
}
} // namespace

void ShowMessage(const QString& text) {
    if (Handlers().show)
        Handlers().show(text);
    else
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

bool AskOkCancel(const QString& text) {
    if (Handlers().askOkCancel)
        return Handlers().askOkCancel(text);
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    return false;
}

TAnswer AskYesNoCancel(const QString& text) {
    if (Handlers().askYesNo)
        return Handlers().askYesNo(text, true);
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    return TAnswer::Cancel;
}

bool AskYesNo(const QString& text) {
    if (Handlers().askYesNo)
        return Handlers().askYesNo(text, false) == TAnswer::Yes;
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    return false;
}

TMessageHandlers SetMessageHandlers(TMessageHandlers handlers) {
    TMessageHandlers previous = Handlers();
    Handlers() = std::move(handlers);
    return previous;
}

} // namespace tv

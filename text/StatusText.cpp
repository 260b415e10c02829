#include "base/StatusMessage.h"
#include "gui/GApplication.h"

void GApplication::PostStatusText(HWND window, const WideString& text) const {
    auto message = std::make_unique<StatusMessage>();
    message->text = text;
    PostStatus(window, STATUS_TEXT, std::move(message));
}

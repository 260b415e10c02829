#include "gui/GUI_Utils.h"

HBITMAP GUI_Utils::LoadDpiBitmap(HINSTANCE instance, uint16_t id, BITMAP& info) const {
    const uint16_t wanted = GetScreenDpi() > 96 ? static_cast<uint16_t>(id + 1) : id;
    HBITMAP bitmap = ::LoadBitmapW(instance, MAKEINTRESOURCEW(wanted));
    if (!bitmap)
        bitmap = ::LoadBitmapW(instance, MAKEINTRESOURCEW(id));
    info = BITMAP{};
    ::GetObjectW(bitmap, sizeof(BITMAP), &info);
    return bitmap;
}

#include "base/ScopedWin.h"
#include "gui/GUI_Utils.h"

namespace {

// The resolution the larger picture (id + 1) is drawn for.
constexpr int32_t kLargePictureDpi = 120;

// The picture stretched by dpi over its own resolution, smoothly; the original goes.
HBITMAP Stretched(HBITMAP original, const BITMAP& size, int32_t dpi, int32_t pictureDpi) {
    const int width = ::MulDiv(size.bmWidth, dpi, pictureDpi);
    const int height = ::MulDiv(size.bmHeight, dpi, pictureDpi);
    ScopedGdiObj<HBITMAP> source(original);
    ScopedGetDC screen(nullptr);
    ScopedMemoryDC from(::CreateCompatibleDC(screen.Get()));
    ScopedMemoryDC to(::CreateCompatibleDC(screen.Get()));
    HBITMAP result = ::CreateCompatibleBitmap(screen.Get(), width, height);
    if (!result)
        return source.Detach();
    ScopedSelectObject readFrom(from.Get(), source.Get());
    ScopedSelectObject drawTo(to.Get(), result);
    ::SetStretchBltMode(to.Get(), HALFTONE);
    ::SetBrushOrgEx(to.Get(), 0, 0, nullptr);
    ::StretchBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    return result;
}

} // namespace

HBITMAP GUI_Utils::LoadDpiBitmap(HINSTANCE instance, uint16_t id, BITMAP& info) const {
    return LoadDpiBitmap(instance, id, info, GetScreenDpi());
}

HBITMAP GUI_Utils::LoadDpiBitmap(HINSTANCE instance, uint16_t id, BITMAP& info, int32_t dpi) const {
    HBITMAP bitmap = dpi > 96 ? ::LoadBitmapW(instance, MAKEINTRESOURCEW(id + 1)) : nullptr;
    const bool large = bitmap != nullptr;
    if (!bitmap)
        bitmap = ::LoadBitmapW(instance, MAKEINTRESOURCEW(id));
    info = BITMAP{};
    ::GetObjectW(bitmap, sizeof(BITMAP), &info);
    // No picture is drawn for more than 120 dpi: the larger one grows to the resolution.
    if (bitmap && dpi > kLargePictureDpi) {
        bitmap = Stretched(bitmap, info, dpi, large ? kLargePictureDpi : 96);
        info = BITMAP{};
        ::GetObjectW(bitmap, sizeof(BITMAP), &info);
    }
    return bitmap;
}

#include <cstddef>
#include "base/ScopedWin.h"
#include "gui/GUI_Utils.h"

namespace {

SIZE MeasureText(const WideString& text, HFONT font) {
    ScopedGetDC screen(nullptr);
    ScopedSelectObject selected(screen.Get(), font);
    SIZE extent = {};
    ::GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent;
}

} // namespace

int32_t GUI_Utils::MeasureTextWidth(const WideString& text, HFONT font) const {
    return MeasureText(text, font).cx;
}

int32_t GUI_Utils::MeasureTextHeight(const WideString& text, HFONT font) const {
    return MeasureText(text, font).cy;
}

int32_t GUI_Utils::MeasureWrappedTextHeight(const WideString& text, HFONT font, int32_t width) const {
    ScopedGetDC screen(nullptr);
    ScopedSelectObject selected(screen.Get(), font);
    RECT box = {0, 0, width, 0};
    ::DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &box,
                DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS);
    return box.bottom - box.top;
}

HFONT GUI_Utils::CreateMessageFont(LOGFONTW& logFont) const {
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version));

    // Windows 2000 and XP know the metrics record without its last field (the padded
    // border width) and refuse the longer one.
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = version.dwMajorVersion == 5 ? offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth)
                                                 : sizeof(NONCLIENTMETRICSW);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        logFont = metrics.lfMessageFont;
    } else {
        // Without the metrics the record is undefined; the dialog font is the next best.
        logFont = LOGFONTW{};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    }
    return ::CreateFontIndirectW(&logFont);
}

int32_t GUI_Utils::GetScreenDpi() const {
    ScopedGetDC screen(nullptr);
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(screen.Get(), &metrics);
    return metrics.tmDigitizedAspectX;
}

#include <cwchar>
#include "gui/GUI_Utils.h"

void GUI_Utils::SplitText(WideString text, WideString delimiter, std::vector<WideString>& out) const {
    out.clear();
    if (delimiter.empty()) {
        // Nothing to split at; taking the whole text keeps the loop below finite.
        if (!text.empty())
            out.push_back(text);
        return;
    }
    for (size_t position = text.find(delimiter); position != WideString::npos;
         position = text.find(delimiter)) {
        out.push_back(text.substr(0, position));
        text.erase(0, position + delimiter.size());
    }
    if (!text.empty())
        out.push_back(text);
}

int32_t GUI_Utils::ParseInt(const WideString& text) const {
    // long is 32 bits on Windows, so the clamping to LONG_MIN/LONG_MAX is the int32 range.
    return static_cast<int32_t>(std::wcstol(text.c_str(), nullptr, 10));
}

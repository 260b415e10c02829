#pragma once
#include <windows.h>
#include <cstdint>
#include <string_view>
#include "text/Strings.h"

class AddressStore;

// PumpMessages offers each key message to its top-level window with this message (lParam:
// the MSG); a window whose shortcuts should work there too answers nonzero when it took the
// key, as its own message loop would have.
constexpr UINT UWM_TRANSLATE_SHORTCUT = WM_APP + 1;

// The root of the program's class chain. It holds no data: its operations are the small
// stateless services that the windows, the directory reader and the entry point share,
// so any instance serves and every thread may call them.
class GApplication {
public:
    // Text conversion and formatting (text/)
    ByteString WideToMultiByte(const WideString& text, UINT codePage) const;
    // Takes a view, so 8-bit text that MAPI hands out is converted where it lies.
    WideString MultiByteToWide(std::string_view bytes, UINT codePage) const;
    WideString FormatUnsigned(uint64_t value) const;
    WideString ExpandEnvironment(const WideString& text) const;
    // Reads one registry value as UTF-16 text in the named view; defaultText on any failure.
    WideString ReadRegistryString(HKEY root, const WideString& subKey, const WideString& valueName,
                                  const WideString& defaultText, bool view64) const;
    WideString GetModuleFolder(bool folderOnly) const;
    void PostStatusText(HWND window, const WideString& text) const;

    // Outlook build matching (buildmatch/)
    int GetOutlookVersion() const;
    WideString GetOutlookBitness() const;
    bool EnsureMatchingBuild() const;
    bool LaunchProgram(const WideString& path, WideString arguments, unsigned waitSeconds) const;

    // Text export (export/)
    void ExportAddressList(AddressStore& store, HWND window) const;
    // True when the user confirmed a file, and also when the dialog itself failed (not a
    // cancel): folder is then empty, so the file cannot be created and the export says so.
    bool ChooseFile(HWND owner, WideString& folder, const WideString& fileName,
                    const WideString& title) const;
    // Dispatches what waits in the thread's queue, keys through UWM_TRANSLATE_SHORTCUT.
    void PumpMessages() const;
};

#pragma once
#include <windows.h>
#include <cstdint>
#include <string_view>
#include "base/Strings.h"
#include "buildmatch/Bitness.h"

class AddressStore;

// The root of the program's class chain, and the face of the small services that the
// windows, the directory reader and the entry point share. It holds no data: each member
// forwards to the function of the same name in the folder that implements it, so any
// instance serves. The text and build-matching services may be called from any thread; the
// export, the file dialog and the message pump belong to the UI thread.
class GApplication {
public:
    // Text (text/, base/)
    ByteString WideToMultiByte(const WideString& text, UINT codePage) const;
    WideString MultiByteToWide(std::string_view bytes, UINT codePage) const;
    WideString FormatUnsigned(uint64_t value) const;
    WideString ExpandEnvironment(const WideString& text) const;
    WideString ReadRegistryString(HKEY root, const WideString& subKey, const WideString& valueName,
                                  const WideString& defaultText, bool view64) const;
    WideString GetModuleFolder(bool folderOnly) const;
    void PostStatusText(HWND window, const WideString& text) const;

    // Outlook build matching (buildmatch/)
    int GetOutlookVersion() const;
    Bitness GetOutlookBitness() const;
    bool EnsureMatchingBuild() const;
    bool LaunchProgram(const WideString& path, WideString arguments, unsigned waitSeconds) const;

    // Text export (export/), UI thread only
    void ExportAddressList(AddressStore& store, HWND window) const;
    bool ChooseFile(HWND owner, WideString& folder, const WideString& fileName,
                    const WideString& title) const;
    void PumpMessages() const;
};

#include "gui/GApplication.h"
#include "base/StatusMessage.h"
#include "buildmatch/MatchingBuild.h"
#include "buildmatch/OutlookVersion.h"
#include "buildmatch/SiblingLaunch.h"
#include "export/AddressListExport.h"
#include "export/ChooseFile.h"
#include "export/PumpMessages.h"
#include "text/Environment.h"
#include "text/Registry.h"
#include "text/TextConversion.h"

ByteString GApplication::WideToMultiByte(const WideString& text, UINT codePage) const {
    return ::WideToMultiByte(text, codePage);
}

WideString GApplication::MultiByteToWide(std::string_view bytes, UINT codePage) const {
    return ::MultiByteToWide(bytes, codePage);
}

WideString GApplication::FormatUnsigned(uint64_t value) const {
    return ::FormatUnsigned(value);
}

WideString GApplication::ExpandEnvironment(const WideString& text) const {
    return ::ExpandEnvironment(text);
}

WideString GApplication::ReadRegistryString(HKEY root, const WideString& subKey, const WideString& valueName,
                                            const WideString& defaultText, bool view64) const {
    return ::ReadRegistryString(root, subKey, valueName, defaultText, view64);
}

WideString GApplication::GetModuleFolder(bool folderOnly) const {
    return ::GetModuleFolder(folderOnly);
}

void GApplication::PostStatusText(HWND window, const WideString& text) const {
    ::PostStatusText(window, text);
}

int GApplication::GetOutlookVersion() const {
    return ::GetOutlookVersion();
}

Bitness GApplication::GetOutlookBitness() const {
    return ::GetOutlookBitness();
}

bool GApplication::EnsureMatchingBuild() const {
    return ::EnsureMatchingBuild();
}

bool GApplication::LaunchProgram(const WideString& path, WideString arguments, unsigned waitSeconds) const {
    return ::LaunchProgram(path, std::move(arguments), waitSeconds);
}

void GApplication::ExportAddressList(AddressStore& store, HWND window) const {
    ::ExportAddressList(store, window);
}

bool GApplication::ChooseFile(HWND owner, WideString& folder, const WideString& fileName,
                              const WideString& title) const {
    return ::ChooseFile(owner, folder, fileName, title);
}

void GApplication::PumpMessages() const {
    ::PumpMessages();
}

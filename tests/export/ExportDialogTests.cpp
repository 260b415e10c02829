#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>
#include <atomic>
#include <optional>
#include <thread>
#include "export/AddressListExport.h"
#include "gui/GApplication.h"
#include "tests/export/ExportTestSupport.h"
#include "tests/support/FileDialog.h"
#include "tests/support/TempFolder.h"

namespace {

// Sets (or, with no value, removes) an environment variable of this process for one scope.
class EnvironmentOverride {
public:
    EnvironmentOverride(const wchar_t* name, const wchar_t* value) : name(name) {
        wchar_t buffer[32768];
        const DWORD length = ::GetEnvironmentVariableW(name, buffer, 32768);
        if (length > 0 && length < 32768)
            saved = WideString(buffer, length);
        ::SetEnvironmentVariableW(name, value);
    }
    ~EnvironmentOverride() { ::SetEnvironmentVariableW(name, saved ? saved->c_str() : nullptr); }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    const wchar_t* name;
    std::optional<WideString> saved;
};

// Plays the user at the real file dialog, from a second thread: waits for the "Export
// results" dialog to show, types into its file-name field (unless typed is empty) and
// presses button.
class DialogUser {
public:
    DialogUser(const WideString& typed, int button) : thread([this, typed, button] { Run(typed, button); }) {}
    ~DialogUser() { Finish(); }
    DialogUser(const DialogUser&) = delete;
    DialogUser& operator=(const DialogUser&) = delete;

    // Waits for the user to be done; true when the dialog was found and answered.
    bool Finish() {
        if (thread.joinable())
            thread.join();
        return answered;
    }

private:
    void Run(const WideString& typed, int button) { answered = AnswerExportDialog(typed, button); }

    std::atomic<bool> answered{false};
    std::thread thread;
};

WideString CurrentDirectory() {
    wchar_t buffer[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryW(MAX_PATH + 1, buffer);
    return buffer;
}

TEST(ExportDialog, TypedPathIsExported) {
    TempFolder folder;
    const WideString path = folder.File(L"chosen.txt");
    AddressStore store;
    store.Append(MakeEntry(L"mailuser", L"Zo\u00EB", L"zoe@example.com", L"/o=Org/cn=zoe"));
    AppendNumbered(store, 1, 2);
    MessageRecorder recorder;
    DialogUser user(path, IDOK);
    GApplication().ExportAddressList(store, recorder.Window());
    ASSERT_TRUE(user.Finish());
    recorder.PumpPending();

    EXPECT_EQ(ReadFileBytes(path), kExportHeader + "mailuser|Zo\xC3\xAB|zoe@example.com|/o=Org/cn=zoe\r\n" +
                                       NumberedLine(1) + NumberedLine(2));
    EXPECT_EQ(recorder.Texts(STATUS_TEXT),
              (std::vector<WideString>{L"Please wait while GAL is exported ...", L"Export complete."}));
}

TEST(ExportDialog, CancelWritesAndPostsNothing) {
    TempFolder folder;
    EnvironmentOverride profile(L"USERPROFILE", folder.Path().c_str());
    ASSERT_TRUE(::CreateDirectoryW(folder.File(L"Desktop").c_str(), nullptr));
    AddressStore store;
    AppendNumbered(store, 0, 3);
    MessageRecorder recorder;
    DialogUser user(folder.File(L"never.txt"), IDCANCEL);
    GApplication().ExportAddressList(store, recorder.Window());
    ASSERT_TRUE(user.Finish());
    recorder.PumpPending();

    EXPECT_EQ(::GetFileAttributesW(folder.File(L"never.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesW(folder.File(L"Desktop\\GAL.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(recorder.Records().empty());
}

TEST(ExportDialog, BareNameLandsOnTheUserProfileDesktop) {
    TempFolder folder;
    EnvironmentOverride profile(L"USERPROFILE", folder.Path().c_str());
    ASSERT_TRUE(::CreateDirectoryW(folder.File(L"Desktop").c_str(), nullptr));
    const WideString startFolder = CurrentDirectory();
    AddressStore store;
    MessageRecorder recorder;
    DialogUser user(L"bare.txt", IDOK);
    GApplication().ExportAddressList(store, recorder.Window());
    ASSERT_TRUE(user.Finish());
    recorder.PumpPending();

    EXPECT_EQ(ReadFileBytes(folder.File(L"Desktop\\bare.txt")), kExportHeader);
    EXPECT_EQ(CurrentDirectory(), startFolder) << "the dialog leaves the current folder alone";
}

TEST(ExportDialog, ChooseFileHandsBackTheBufferEitherWay) {
    TempFolder folder;
    MessageRecorder owner;
    {
        WideString inOut = folder.Path();
        DialogUser user(L"", IDCANCEL);
        EXPECT_FALSE(GApplication().ChooseFile(owner.Window(), inOut, L"GAL.txt", L"Export results"));
        ASSERT_TRUE(user.Finish());
        EXPECT_EQ(inOut, L"GAL.txt") << "the untouched proposal";
    }
    {
        WideString inOut = folder.Path();
        const WideString path = folder.File(L"picked.txt");
        DialogUser user(path, IDOK);
        EXPECT_TRUE(GApplication().ChooseFile(owner.Window(), inOut, L"GAL.txt", L"Export results"));
        ASSERT_TRUE(user.Finish());
        EXPECT_EQ(inOut, path);
        EXPECT_EQ(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "choosing creates nothing";
    }
}

// The dialog is replaced here to see what it is given.
TEST(ExportDialog, ProposedFolderFollowsUserProfile) {
    struct Asked {
        HWND owner = nullptr;
        WideString folder, fileName, title;
    };
    const auto ask = [](HWND window) {
        Asked asked;
        AddressStore store;
        AppendNumbered(store, 0, 3);
        ExportAddressListWith(
            store, window,
            [&](HWND owner, WideString& folder, const WideString& fileName, const WideString& title) {
                asked = {owner, folder, fileName, title};
                return false;
            });
        return asked;
    };
    MessageRecorder recorder;
    {
        EnvironmentOverride profile(L"USERPROFILE", L"C:\\users\\someone");
        const Asked asked = ask(recorder.Window());
        EXPECT_EQ(asked.owner, recorder.Window());
        EXPECT_EQ(asked.folder, L"C:\\users\\someone\\Desktop\\");
        EXPECT_EQ(asked.fileName, L"GAL.txt");
        EXPECT_EQ(asked.title, L"Export results");
    }
    {
        EnvironmentOverride profile(L"USERPROFILE", nullptr);
        EXPECT_EQ(ask(recorder.Window()).folder, L"%USERPROFILE%\\Desktop\\") << "left unexpanded";
    }
    recorder.PumpPending();
    EXPECT_TRUE(recorder.Records().empty());
}

} // namespace

#include "app/Startup.h"
#include "app/Form_Main.h"
#include "app/WindowSettings.h"
#include "buildmatch/MatchingBuild.h"

int RunRostermint(HINSTANCE instance, int showCommand) {
    Form_Main form;
    const GApplication application;
    WindowSettings settings;
    if (!application.EnsureMatchingBuild())
        return 1;

    settings.instance = instance;
    settings.title = kWindowTitle;
    settings.showCommand = showCommand;
    // Without a window no quit message could ever come: end at once.
    if (!form.Create(settings))
        return 2;
    // Started by the other flavour's gate, yet Outlook still has that flavour's bitness: the
    // gate started nothing more, and the window says why from the start.
    const WideString refusal = RelaunchRefusalText();
    if (!refusal.empty())
        application.PostStatusText(form.Window(), refusal);
    form.SetShowState(settings.showCommand);
    const int exitCode = form.RunMessageLoop();

    // The reader's thread writes into the form's store and reader: it must be gone before
    // they are destroyed. A thread that does not end in time (stuck in a provider's call
    // or dialog) ends with the process, before any destructor runs; no DLL detach code
    // runs then either, as it could wait on what the stuck thread holds.
    if (!form.StopReading(kReaderExitWaitMs))
        ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(exitCode));
    // After File > Exit the window still exists, with what the reader posted last.
    form.DiscardPendingStatus();
    return exitCode;
}

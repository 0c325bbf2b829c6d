#pragma once
// The application object: one per process, it runs the program from
// InitInstance and answers the help command.

#include "platform/ui/cmd_target.hpp"
#include "platform/ui/resources.hpp"
#include "platform/ui/wnd.hpp"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class QUrl;

namespace kelvara {

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;

    // Runs the program; FALSE ends it without entering an event loop.
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    HICON LoadIcon(UINT id) const { return AfxLoadIcon(id); }

    // Help command: opens the local manual at the help context of the active
    // dialog, or shows "Failed to launch help.".
    void OnHelp();

    // The window application message boxes belong to.
    CWnd* m_pMainWnd = nullptr;
    // Manual used when none lies beside the executable (the installed copy).
    std::filesystem::path m_helpFallbackPath;

protected:
    // Asks the help viewer for `context` in the program's manual.
    BOOL WinHelp(UINT context);
    // The section of the HTML manual that answers a help context; empty for
    // the top of the manual.
    virtual std::string HelpTopic(UINT context) const;
};

CWinApp* AfxGetApp();

// The executable's path, as the process sees it.
std::string AfxGetModuleFileName();
// The application name: the executable's file name without its extension.
std::string AfxGetAppName();
// The application name for an executable path: folders are dropped first, so
// a dot in a folder name cannot cut it.
std::string AppNameFromPath(std::string_view path);

// Starts the sockets layer. Linux has nothing to start, so this succeeds unless
// a test installs a start-up that fails.
BOOL AfxSocketInit();
std::function<bool()> AfxSetSocketStartup(std::function<bool()> startup);

// Opens a URL in the desktop's viewer; true when a viewer took it. Tests
// replace it so that no browser starts.
using UrlOpener = std::function<bool(const QUrl& url, UINT helpContext)>;
UrlOpener AfxSetUrlOpener(UrlOpener opener);

// Creates the GUI application, lets the application object run the program and
// returns the process exit status.
int AfxWinMain(int argc, char** argv);

} // namespace kelvara

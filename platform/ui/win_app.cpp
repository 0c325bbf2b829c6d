#include "platform/ui/win_app.hpp"

#include "platform/ui/dialog.hpp"
#include "platform/ui/message_box.hpp"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QUrl>
#include <stdexcept>
#include <system_error>

namespace kelvara {
namespace {

CWinApp* g_app = nullptr;

std::function<bool()>& SocketStartup() {
    static std::function<bool()> startup;
    return startup;
}

UrlOpener& CurrentUrlOpener() {
    static UrlOpener opener;
    return opener;
}

bool OpenUrl(const QUrl& url, UINT context) {
    if (const UrlOpener& opener = CurrentUrlOpener()) {
        return opener(url, context);
    }
    return QDesktopServices::openUrl(url);
}

bool IsFile(const std::filesystem::path& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

} // namespace

CWinApp::CWinApp() {
    if (g_app) {
        throw std::logic_error("Only one application object may exist.");
    }
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

void CWinApp::OnHelp() {
    const CDialog* dialog = CDialog::ActiveModal();
    WinHelp(dialog ? dialog->HelpContext() : 0);
}

BOOL CWinApp::WinHelp(UINT context) {
    // The manual is HTML on this platform: beside the executable under the
    // executable's name, or else the installed copy.
    std::filesystem::path beside(AfxGetModuleFileName());
    beside.replace_extension(".html");
    const std::string topic = HelpTopic(context);
    for (const std::filesystem::path& manual : {beside, m_helpFallbackPath}) {
        if (!IsFile(manual)) {
            continue;
        }
        QUrl url = QUrl::fromLocalFile(QString::fromStdString(manual.string()));
        if (!topic.empty()) {
            url.setFragment(QString::fromStdString(topic));
        }
        if (OpenUrl(url, context)) {
            return TRUE;
        }
    }
    AfxMessageBox("Failed to launch help.");
    return FALSE;
}

std::string CWinApp::HelpTopic(UINT) const {
    return {};
}

CWinApp* AfxGetApp() {
    return g_app;
}

std::string AfxGetModuleFileName() {
    if (!QCoreApplication::instance()) {
        return {};
    }
    return QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
}

std::string AppNameFromPath(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/:");
    std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) {
        name = name.substr(0, dot);
    }
    return std::string(name);
}

std::string AfxGetAppName() {
    return AppNameFromPath(AfxGetModuleFileName());
}

BOOL AfxSocketInit() {
    const std::function<bool()>& startup = SocketStartup();
    return startup ? startup() : TRUE;
}

std::function<bool()> AfxSetSocketStartup(std::function<bool()> startup) {
    return std::exchange(SocketStartup(), std::move(startup));
}

UrlOpener AfxSetUrlOpener(UrlOpener opener) {
    return std::exchange(CurrentUrlOpener(), std::move(opener));
}

int AfxWinMain(int argc, char** argv) {
    QApplication application(argc, argv);
    CWinApp* app = AfxGetApp();
    if (!app) {
        return 0;
    }
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    QApplication::exec();
    return app->ExitInstance();
}

} // namespace kelvara

#include "app/export_app.hpp"

#include "platform/ui/message_box.hpp"
#include "res/resource.hpp"
#include "ui/export_dlg.hpp"

namespace kelvara {

const CCmdTarget::MessageMap CExportApp::messageMap{&CCmdTarget::messageMap,
                                                    []() -> std::span<const MessageMapEntry> {
                                                        static const MessageMapEntry entries[] = {
                                                            {ID_HELP, Cmd(&CWinApp::OnHelp)},
                                                        };
                                                        return entries;
                                                    }()};

const CCmdTarget::MessageMap* CExportApp::GetMessageMap() const {
    return &messageMap;
}

CExportApp::CExportApp() {
    AfxSetResourceModule(&res::Module());
    m_helpFallbackPath = KELVARA_INSTALLED_MANUAL;
}

BOOL CExportApp::InitInstance() {
    if (!AfxSocketInit()) {
        AfxMessageBox(IDP_SOCKETS_INIT_FAILED);
        return FALSE;
    }

    CExportDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // The dialog has ended: end the program rather than start an event loop.
    return FALSE;
}

} // namespace kelvara

namespace kelvara {

// The main dialog's help context (the resource base plus its template
// number) opens the manual at the section on the main window.
std::string CExportApp::HelpTopic(UINT context) const {
    constexpr UINT kResourceHelpBase = 0x20000;
    return context == kResourceHelpBase + IDD_EXPORT_DIALOG ? "main-dialog" : std::string();
}

} // namespace kelvara

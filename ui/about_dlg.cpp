#include "ui/about_dlg.hpp"

#include "res/resource.hpp"

namespace kelvara {

// Everything the box does (OK, Enter, Esc, the close box) is CDialog's own.
const CCmdTarget::MessageMap CAboutDlg::messageMap{&CDialog::messageMap, {}};

const CCmdTarget::MessageMap* CAboutDlg::GetMessageMap() const {
    return &messageMap;
}

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}

} // namespace kelvara

#include "platform/ui/wnd.hpp"

#include "platform/ui/ansi_text.hpp"
#include "platform/ui/message_box.hpp"
#include "platform/ui/win_app.hpp"

#include <QIcon>
#include <QMenu>
#include <QWidget>
#include <QWindow>

namespace kelvara {

BOOL CMenu::AppendMenu(UINT flags, UINT id, const std::string& text) {
    m_items.push_back({flags, (flags & MF_SEPARATOR) ? 0u : id, text});
    return TRUE;
}

QWidget* CWnd::GetDlgItem(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

CMenu CWnd::StandardSystemMenu() {
    // A fixed-size dialog without minimise and maximise boxes offers only these.
    CMenu menu;
    menu.AppendMenu(MF_STRING, SC_MOVE, "&Move");
    menu.AppendMenu(MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    return menu;
}

CMenu* CWnd::GetSystemMenu(BOOL revert) {
    if (revert) {
        m_systemMenu.reset();
        return nullptr;
    }
    if (!m_systemMenu) {
        m_systemMenu = StandardSystemMenu();
    }
    return &*m_systemMenu;
}

void CWnd::SetIcon(HICON icon, BOOL /*bigIcon*/) {
    // One QIcon carries every size; the window manager picks the one it needs.
    if (m_pWidget && icon) {
        m_pWidget->setWindowIcon(*icon);
    }
}

BOOL CWnd::IsIconic() const {
    return m_pWidget && m_pWidget->isMinimized();
}

QRect CWnd::GetClientRect() const {
    return m_pWidget ? m_pWidget->rect() : QRect();
}

int CWnd::MessageBox(const std::string& text, const std::string& caption, UINT type) {
    return AfxShowMessageBox({m_pWidget, caption, text, type});
}

void CWnd::OnSysCommand(UINT nID, LPARAM /*lParam*/) {
    DefaultSysCommand(nID);
}

void CWnd::OnPaint() {}

void CWnd::OnDestroy() {}

void CWnd::DefaultSysCommand(UINT nID) {
    if (!m_pWidget) {
        return;
    }
    switch (nID & SC_MASK) {
    case SC_CLOSE:
        // Closing a dialog is its Cancel command.
        RouteCommand(IDCANCEL);
        break;
    case SC_MOVE:
        if (QWindow* window = m_pWidget->windowHandle()) {
            window->startSystemMove();
        }
        break;
    case SC_MINIMIZE:
        m_pWidget->showMinimized();
        break;
    case SC_RESTORE:
        m_pWidget->showNormal();
        break;
    case SC_KEYMENU:
        TrackSystemMenu(m_pWidget->mapToGlobal(QPoint(0, 0)));
        break;
    default:
        break;
    }
}

void CWnd::RouteCommand(UINT id) {
    AfxCallGuarded([this, id] {
        if (OnCmdMsg(id)) {
            return;
        }
        if (CWinApp* app = AfxGetApp()) {
            app->OnCmdMsg(id);
        }
    });
}

void CWnd::RouteSysCommand(UINT nID, LPARAM lParam) {
    AfxCallGuarded([this, nID, lParam] { OnSysCommand(nID, lParam); });
}

void CWnd::TrackSystemMenu(const QPoint& globalPos) {
    if (!m_pWidget) {
        return;
    }
    QMenu menu(m_pWidget);
    for (const CMenu::Item& item : GetSystemMenu(FALSE)->Items()) {
        if (item.flags & MF_SEPARATOR) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(FromAnsi(item.text));
        action->setData(item.id);
    }
    if (QAction* chosen = menu.exec(globalPos)) {
        RouteSysCommand(chosen->data().toUInt(), 0);
    }
}

CPaintDC::CPaintDC(CWnd* wnd) : m_widget(wnd->GetSafeWidget()), m_painter(m_widget) {}

void CPaintDC::EraseBackground() {
    m_painter.fillRect(m_widget->rect(), m_widget->palette().window());
}

void CPaintDC::DrawIcon(int x, int y, HICON icon) {
    if (icon) {
        const int cx = GetSystemMetrics(SM_CXICON);
        const int cy = GetSystemMetrics(SM_CYICON);
        icon->paint(&m_painter, QRect(x, y, cx, cy));
    }
}

QPoint IconOrigin(int w, int h, int cx, int cy) {
    return {(w - cx + 1) / 2, (h - cy + 1) / 2};
}

} // namespace kelvara

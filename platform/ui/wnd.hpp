#pragma once
// Windows of the dialog framework: a CWnd stands for one Qt top-level widget
// and its child controls, addressed by the control ids of its template.

#include "platform/ui/afx.hpp"
#include "platform/ui/cmd_target.hpp"

#include <QPainter>
#include <QPoint>
#include <QRect>
#include <map>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace kelvara {

// The window's "system menu". Linux window managers keep their own window menu
// out of the program's reach, so the framework offers this one as the dialog's
// context menu; its commands arrive at OnSysCommand like the platform's would.
class CMenu {
public:
    struct Item {
        UINT flags;
        UINT id;
        std::string text;
    };

    BOOL AppendMenu(UINT flags, UINT id = 0, const std::string& text = {});
    const std::vector<Item>& Items() const { return m_items; }

private:
    std::vector<Item> m_items;
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override = default;

    // The window's widget, null while no window exists.
    QWidget* GetSafeWidget() const { return m_pWidget; }
    // The control with the given id, null when the window has none.
    QWidget* GetDlgItem(int id) const;

    // The window's system menu; `revert` restores the platform's items and
    // returns null, as there is nothing left to change then.
    CMenu* GetSystemMenu(BOOL revert);
    void SetIcon(HICON icon, BOOL bigIcon);
    BOOL IsIconic() const;
    QRect GetClientRect() const;

    // Dialog message box owned by this window: caller's text and caption, one
    // OK button, no icon.
    int MessageBox(const std::string& text, const std::string& caption = "Error",
                   UINT type = MB_OK);

    // Message handlers; the defaults are the platform's own processing.
    virtual void OnSysCommand(UINT nID, LPARAM lParam);
    virtual void OnPaint();
    virtual void OnDestroy();

    // Sends command `id` through this window's routing, then the application's,
    // guarded so that failures are reported and never leave the handler.
    void RouteCommand(UINT id);
    // Sends a system command to OnSysCommand, guarded the same way.
    void RouteSysCommand(UINT nID, LPARAM lParam = 0);
    // Pops the system menu up at a global position and runs the chosen command.
    void TrackSystemMenu(const QPoint& globalPos);

protected:
    // What the platform does with a system command nobody handled.
    void DefaultSysCommand(UINT nID);

    QWidget* m_pWidget = nullptr;
    std::map<int, QWidget*> m_controls;

private:
    static CMenu StandardSystemMenu();

    std::optional<CMenu> m_systemMenu;
};

// Painting device for the body of OnPaint.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd);
    void EraseBackground();
    void DrawIcon(int x, int y, HICON icon);

private:
    QWidget* m_widget;
    QPainter m_painter;
};

// Top-left corner of an icon of cx x cy pixels centred in a w x h client area,
// rounding as the platform's minimised-window painting always has (truncating
// signed division).
QPoint IconOrigin(int w, int h, int cx, int cy);

} // namespace kelvara

#pragma once
// Message boxes: the dialog's own box and the application box, both through one
// replaceable presenter so that tests can answer boxes without a screen.

#include "platform/ui/afx.hpp"

#include <functional>
#include <string>

class QWidget;

namespace kelvara {

struct MessageBoxRequest {
    QWidget* owner = nullptr; // null: the box has no owner window
    std::string caption;
    std::string text;
    UINT type = MB_OK;
};

// Shows a box and returns the command id of the button that closed it.
using MessageBoxPresenter = std::function<int(const MessageBoxRequest&)>;

// Installs `presenter` for every box of the process and returns the previous
// one; an empty function restores the real boxes.
MessageBoxPresenter AfxSetMessageBoxPresenter(MessageBoxPresenter presenter);

// Shows a box as requested; the real presenter is a modal QMessageBox.
int AfxShowMessageBox(const MessageBoxRequest& request);

// Application message box: the application name as caption, the warning icon
// when the type names none, owned by the main window's active modal window.
int AfxMessageBox(const std::string& text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));

} // namespace kelvara

#include "platform/ui/message_box.hpp"

#include "platform/ui/ansi_text.hpp"
#include "platform/ui/resources.hpp"
#include "platform/ui/win_app.hpp"

#include <QApplication>
#include <QMessageBox>

namespace kelvara {
namespace {

MessageBoxPresenter& CurrentPresenter() {
    static MessageBoxPresenter presenter;
    return presenter;
}

QMessageBox::Icon QtIconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ShowQtMessageBox(const MessageBoxRequest& request) {
    QMessageBox box(QtIconOf(request.type), FromAnsi(request.caption), FromAnsi(request.text),
                    QMessageBox::Ok, request.owner);
    box.setTextFormat(Qt::PlainText);
    const bool blocksEverything = (request.type & MB_SYSTEMMODAL) != 0 || !request.owner;
    box.setWindowModality(blocksEverything ? Qt::ApplicationModal : Qt::WindowModal);
    box.exec();
    return IDOK; // OK, Esc and the close box all end the one-button box the same way
}

// The main window's last active pop-up: a modal window opened over the main
// dialog (an earlier box, a chooser) owns the new box, else the dialog itself.
QWidget* ApplicationBoxOwner() {
    CWinApp* app = AfxGetApp();
    QWidget* mainWidget = app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeWidget() : nullptr;
    if (!mainWidget) {
        return nullptr;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return mainWidget;
}

} // namespace

MessageBoxPresenter AfxSetMessageBoxPresenter(MessageBoxPresenter presenter) {
    return std::exchange(CurrentPresenter(), std::move(presenter));
}

int AfxShowMessageBox(const MessageBoxRequest& request) {
    if (const MessageBoxPresenter& presenter = CurrentPresenter()) {
        return presenter(request);
    }
    return ShowQtMessageBox(request);
}

int AfxMessageBox(const std::string& text, UINT type, UINT /*helpId*/) {
    if ((type & MB_ICONMASK) == 0) {
        type |= MB_ICONEXCLAMATION;
    }
    return AfxShowMessageBox({ApplicationBoxOwner(), AfxGetAppName(), text, type});
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId) {
    return AfxMessageBox(AfxLoadString(stringId), type, helpId);
}

} // namespace kelvara

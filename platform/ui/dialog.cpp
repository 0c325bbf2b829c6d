#include "platform/ui/dialog.hpp"

#include "platform/ui/ansi_text.hpp"
#include "platform/ui/dialog_units.hpp"
#include "platform/ui/message_box.hpp"
#include "platform/ui/resources.hpp"
#include "platform/ui/win_app.hpp"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

namespace kelvara {

// The Qt window of a CDialog: creates the template's controls and turns Qt's
// events into the framework's commands and handler calls.
class DialogWindow final : public QDialog {
public:
    DialogWindow(CDialog& owner, const DialogTemplate& dialog, QWidget* parent);

    QWidget* FirstTabStop() const { return m_tabStops.empty() ? nullptr : m_tabStops.front(); }
    void RegisterControls(std::map<int, QWidget*>& controls) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* CreateControl(const ControlTemplate& control);
    QWidget* CreateButton(const ControlTemplate& control);
    QWidget* CreateEdit(const ControlTemplate& control);
    QWidget* CreateStatic(const ControlTemplate& control);
    bool HandleWindowKey(const QKeyEvent& key);
    void PressFocusedOrDefaultButton();

    CDialog& m_owner;
    DialogBaseUnits m_units;
    std::map<int, QWidget*> m_byId;
    std::vector<QWidget*> m_tabStops;
    QPushButton* m_defaultButton = nullptr;
};

namespace {

// A dialog opened without a parent belongs to the application's main window,
// once that window exists and is another one.
QWidget* MainWindowOf(const CDialog* dialog) {
    const CWinApp* app = AfxGetApp();
    const CWnd* main = app ? app->m_pMainWnd : nullptr;
    return main && main != dialog ? main->GetSafeWidget() : nullptr;
}

std::vector<CDialog*>& ModalDialogs() {
    static std::vector<CDialog*> dialogs;
    return dialogs;
}

bool IsMenuKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
           (key.key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier) ||
           (key.key() == Qt::Key_Space && modifiers == Qt::AltModifier);
}

bool IsHelpKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_F1 && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

Qt::WindowFlags DialogWindowFlags() {
    // Title bar and close box only: the frame has no minimise or maximise box.
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
}

} // namespace

DialogWindow::DialogWindow(CDialog& owner, const DialogTemplate& dialog, QWidget* parent)
    : QDialog(parent, DialogWindowFlags()), m_owner(owner), m_units{} {
    setFont(DialogFont(dialog));
    m_units = BaseUnitsOf(font());
    setWindowTitle(FromAnsi(dialog.caption));
    setFixedSize(MapDialogRect(m_units, 0, 0, dialog.cx, dialog.cy).size());
    for (const ControlTemplate& control : dialog.controls) {
        QWidget* widget = CreateControl(control);
        widget->setGeometry(MapDialogRect(m_units, control.x, control.y, control.cx, control.cy));
        widget->installEventFilter(this);
        if (control.id != -1) {
            m_byId.emplace(control.id, widget);
        }
        if (control.style & WS_TABSTOP) {
            if (!m_tabStops.empty()) {
                QWidget::setTabOrder(m_tabStops.back(), widget);
            }
            m_tabStops.push_back(widget);
        }
    }
}

void DialogWindow::RegisterControls(std::map<int, QWidget*>& controls) const {
    controls = m_byId;
}

QWidget* DialogWindow::CreateControl(const ControlTemplate& control) {
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlClass::Button:
        widget = CreateButton(control);
        break;
    case ControlClass::Edit:
        widget = CreateEdit(control);
        break;
    case ControlClass::Static:
        widget = CreateStatic(control);
        break;
    }
    widget->setObjectName(QStringLiteral("control%1").arg(control.id));
    // Controls outside the tab cycle can still take the focus by a click.
    if (widget->focusPolicy() != Qt::NoFocus && !(control.style & WS_TABSTOP)) {
        widget->setFocusPolicy(Qt::ClickFocus);
    }
    return widget;
}

QWidget* DialogWindow::CreateButton(const ControlTemplate& control) {
    auto* button = new QPushButton(FromAnsi(control.text), this);
    // Enter is dispatched by the dialog itself, so no button grabs it.
    button->setAutoDefault(false);
    if (control.style & BS_DEFPUSHBUTTON) {
        button->setDefault(true);
        m_defaultButton = button;
    }
    button->setFocusPolicy(Qt::StrongFocus);
    const UINT id = static_cast<UINT>(control.id);
    connect(button, &QPushButton::clicked, this, [this, id] { m_owner.RouteCommand(id); });
    return button;
}

QWidget* DialogWindow::CreateEdit(const ControlTemplate& control) {
    auto* edit = new QLineEdit(this);
    edit->setFrame((control.style & WS_BORDER) != 0);
    edit->setMaxLength(std::numeric_limits<int>::max()); // fields have no length limit
    if (control.style & ES_PASSWORD) {
        edit->setEchoMode(QLineEdit::Password);
    }
    edit->setFocusPolicy(Qt::StrongFocus);
    return edit;
}

QWidget* DialogWindow::CreateStatic(const ControlTemplate& control) {
    auto* label = new QLabel(this);
    if ((control.style & 0x1F) == SS_ICON) {
        if (HICON icon = AfxLoadIcon(control.imageId)) {
            const int size = GetSystemMetrics(SM_CXICON);
            label->setPixmap(icon->pixmap(size, size));
        }
    } else {
        label->setTextFormat(Qt::PlainText);
        label->setText(FromAnsi(control.text));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

void DialogWindow::PressFocusedOrDefaultButton() {
    if (auto* focused = qobject_cast<QPushButton*>(focusWidget());
        focused && focused->isEnabled()) {
        focused->click();
    } else if (m_defaultButton && m_defaultButton->isEnabled()) {
        m_defaultButton->click();
    }
}

bool DialogWindow::HandleWindowKey(const QKeyEvent& key) {
    if (IsHelpKey(key)) {
        m_owner.RouteCommand(ID_HELP);
        return true;
    }
    if (IsMenuKey(key)) {
        const QWidget* anchor = focusWidget() ? focusWidget() : this;
        m_owner.TrackSystemMenu(anchor->mapToGlobal(QPoint(0, anchor->height())));
        return true;
    }
    return false;
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && HandleWindowKey(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (HandleWindowKey(*event)) {
        return;
    }
    if (modifiers == Qt::NoModifier && event->key() == Qt::Key_Escape) {
        m_owner.RouteCommand(IDCANCEL);
        return;
    }
    if (modifiers == Qt::NoModifier &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        PressFocusedOrDefaultButton();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The close box is a system command; its default path ends the dialog
    // through Cancel, never directly here.
    event->ignore();
    m_owner.RouteSysCommand(SC_CLOSE, 0);
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    m_owner.TrackSystemMenu(event->globalPos());
}

void DialogWindow::paintEvent(QPaintEvent* /*event*/) {
    AfxCallGuarded([this] { m_owner.OnPaint(); });
}

// ---------------------------------------------------------------------------

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
    auto* edit = qobject_cast<QLineEdit*>(pDX->m_pDlgWnd->GetDlgItem(id));
    if (!edit) {
        throw std::logic_error("The dialog has no edit control " + std::to_string(id) + ".");
    }
    if (pDX->m_bSaveAndValidate) {
        value = ToAnsi(edit->text());
        return;
    }
    const QString text = FromAnsi(value);
    if (edit->text() != text) {
        edit->setText(text);
    }
}

const CCmdTarget::MessageMap CDialog::messageMap{&CCmdTarget::messageMap,
                                                 []() -> std::span<const MessageMapEntry> {
                                                     static const MessageMapEntry entries[] = {
                                                         {IDOK, Cmd(&CDialog::OnOK)},
                                                         {IDCANCEL, Cmd(&CDialog::OnCancel)},
                                                     };
                                                     return entries;
                                                 }()};

const CCmdTarget::MessageMap* CDialog::GetMessageMap() const {
    return &messageMap;
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDHelp(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    DestroyDialogWindow();
}

CDialog* CDialog::ActiveModal() {
    return ModalDialogs().empty() ? nullptr : ModalDialogs().back();
}

void CDialog::CreateDialogWindow(const DialogTemplate& dialog) {
    QWidget* parent = m_pParentWnd ? m_pParentWnd->GetSafeWidget() : MainWindowOf(this);
    auto* window = new DialogWindow(*this, dialog, parent);
    window->RegisterControls(m_controls);
    m_pWidget = window;
}

void CDialog::DestroyDialogWindow() {
    delete m_pWidget;
    m_pWidget = nullptr;
    m_controls.clear();
}

// Centres the window over its owner when the owner is on screen, otherwise in
// the work area, and keeps it inside the work area either way.
void CDialog::CentreWindow() {
    QScreen* screen = m_pWidget->screen() ? m_pWidget->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect workArea = screen->availableGeometry();
    const QWidget* owner = m_pWidget->parentWidget();
    const bool overOwner = owner && owner->isVisible() && !owner->isMinimized();
    const QRect area = overOwner ? owner->frameGeometry() : workArea;
    // The frame counts as part of the window where the platform already knows it.
    const QSize size = m_pWidget->frameGeometry().size().expandedTo(m_pWidget->size());
    const auto keepInside = [](int at, int first, int length, int extent) {
        return std::clamp(at, first, std::max(first, first + length - extent));
    };
    m_pWidget->move(keepInside(area.x() + (area.width() - size.width()) / 2, workArea.x(),
                               workArea.width(), size.width()),
                    keepInside(area.y() + (area.height() - size.height()) / 2, workArea.y(),
                               workArea.height(), size.height()));
}

int CDialog::DoModal() {
    const DialogTemplate* dialog = AfxFindDialogTemplate(m_nIDHelp);
    if (!dialog) {
        return -1;
    }
    CreateDialogWindow(*dialog);
    auto* window = static_cast<DialogWindow*>(m_pWidget);
    m_nModalResult = -1;
    ModalDialogs().push_back(this);

    BOOL focusFirstTabStop = FALSE;
    AfxCallGuarded([this, &focusFirstTabStop] { focusFirstTabStop = OnInitDialog(); });
    if (focusFirstTabStop && window->FirstTabStop()) {
        window->FirstTabStop()->setFocus(Qt::OtherFocusReason);
    }
    CentreWindow();
    if (m_nModalResult == -1) {
        window->exec();
    }
    window->hide();
    AfxCallGuarded([this] { OnDestroy(); });

    ModalDialogs().pop_back();
    DestroyDialogWindow();
    return m_nModalResult;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    if (auto* window = qobject_cast<QDialog*>(m_pWidget)) {
        window->done(result);
    }
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    try {
        DoDataExchange(&exchange);
        return TRUE;
    } catch (const std::bad_alloc&) {
        AfxMessageBox("Out of memory.", MB_ICONEXCLAMATION);
    } catch (const std::exception& failure) {
        const std::string text = failure.what();
        AfxMessageBox(text.empty() ? "Internal application error." : text, MB_ICONEXCLAMATION);
    } catch (...) {
        AfxMessageBox("Internal application error.", MB_ICONEXCLAMATION);
    }
    return FALSE;
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return; // the failure was shown; the dialog stays open
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

} // namespace kelvara

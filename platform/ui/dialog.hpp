#pragma once
// Modal dialogs built from templates, with field exchange between member
// variables and edit controls.

#include "platform/ui/resources.hpp"
#include "platform/ui/wnd.hpp"

#include <string>

namespace kelvara {

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate; // TRUE: controls to fields; FALSE: fields to controls
};

// Exchanges an 8-bit text field with the edit control `id`, converting through
// the locale's 8-bit encoding. Writing leaves a control that already shows the
// text alone, so its caret and selection survive.
void DDX_Text(CDataExchange* pDX, int id, std::string& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the window from the template, runs it until EndDialog and
    // destroys it again. -1 when the window cannot be created.
    virtual int DoModal();
    void EndDialog(int result);

    // Exchanges every field at once; on failure reports it and returns FALSE.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    UINT TemplateId() const { return m_nIDHelp; }
    // The context the help command asks the help viewer for.
    UINT HelpContext() const { return HID_BASE_RESOURCE + m_nIDHelp; }

    // The innermost dialog running modally, null when none runs.
    static CDialog* ActiveModal();

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    const MessageMap* GetMessageMap() const override;
    static const MessageMap messageMap;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

private:
    friend class DialogWindow;

    void CreateDialogWindow(const DialogTemplate& dialog);
    void DestroyDialogWindow();
    void CentreInWorkArea();

    UINT m_nIDHelp;
    CWnd* m_pParentWnd;
    int m_nModalResult = -1;
};

} // namespace kelvara

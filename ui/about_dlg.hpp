#pragma once
// The About box: icon, program name and version, two lines of notice, OK.

#include "platform/ui/dialog.hpp"

namespace kelvara {

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

    const MessageMap* GetMessageMap() const override;
    static const MessageMap messageMap;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

} // namespace kelvara

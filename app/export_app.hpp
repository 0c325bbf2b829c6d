#pragma once
// The application object: starts the program and runs the main dialog.

#include "platform/ui/win_app.hpp"

namespace kelvara {

class CExportApp : public CWinApp {
public:
    CExportApp();

    BOOL InitInstance() override;
    std::string HelpTopic(UINT context) const override;

    const MessageMap* GetMessageMap() const override;
    static const MessageMap messageMap;
};

} // namespace kelvara

#pragma once
// The application object: starts the program and runs the main dialog.

#include "platform/ui/win_app.hpp"

namespace kelvara {

class CExportApp : public CWinApp {
public:
    CExportApp();

    BOOL InitInstance() override;

    const MessageMap* GetMessageMap() const override;
    static const MessageMap messageMap;
};

} // namespace kelvara

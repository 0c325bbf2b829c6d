#include "platform/ui/cmd_target.hpp"

#include "platform/ui/message_box.hpp"

#include <exception>
#include <new>
#include <string>

namespace kelvara {

const CCmdTarget::MessageMap CCmdTarget::messageMap{nullptr, {}};

const CCmdTarget::MessageMap* CCmdTarget::GetMessageMap() const {
    return &messageMap;
}

bool CCmdTarget::OnCmdMsg(UINT id) {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (const MessageMapEntry& entry : map->entries) {
            if (entry.id == id) {
                (this->*entry.handler)();
                return true;
            }
        }
    }
    return false;
}

namespace {

void ReportFailure(const std::string& text, UINT type) {
    try {
        AfxMessageBox(text, type);
    } catch (...) {
        // Not even the report could be shown; the dialog must still go on.
    }
}

std::string TextOrDefault(const char* text) {
    return text && *text ? std::string(text) : std::string("Internal application error.");
}

} // namespace

void AfxCallGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::bad_alloc&) {
        ReportFailure("Out of memory.", MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
    } catch (const std::exception& failure) {
        ReportFailure(TextOrDefault(failure.what()), MB_ICONSTOP);
    } catch (...) {
        ReportFailure(TextOrDefault(nullptr), MB_ICONSTOP);
    }
}

} // namespace kelvara

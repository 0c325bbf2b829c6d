#pragma once
// Command routing through static tables: each class lists the command ids it
// handles and names the table of its base class, which is searched next.

#include "platform/ui/afx.hpp"

#include <functional>
#include <span>

namespace kelvara {

class CCmdTarget {
public:
    using Handler = void (CCmdTarget::*)();
    struct MessageMapEntry {
        UINT id;
        Handler handler;
    };
    struct MessageMap {
        const MessageMap* base;
        std::span<const MessageMapEntry> entries;
    };

    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    virtual const MessageMap* GetMessageMap() const;

    // Runs the handler of command `id` from this object's tables; false when
    // none of them lists it.
    bool OnCmdMsg(UINT id);

    static const MessageMap messageMap;
};

// Turns a handler of a derived class into a table entry's handler.
template <class Target> constexpr CCmdTarget::Handler Cmd(void (Target::*handler)()) {
    return static_cast<CCmdTarget::Handler>(handler);
}

// Runs one handler so that nothing it throws reaches the event loop: running
// out of memory shows "Out of memory.", any other failure its own text (or
// "Internal application error.") in an application message box, and the
// program carries on.
void AfxCallGuarded(const std::function<void()>& handler);

} // namespace kelvara

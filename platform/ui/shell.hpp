#pragma once
// Opening documents and web addresses with the desktop's own handlers.

#include <string>

namespace kelvara {

class CWnd;

// How the started program should show its window. Desktop handlers on Linux
// choose for themselves, so the value is accepted and passed over.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;

// Opens `file` (a path or a web address) with the desktop's handler for it, a
// web address in the user's browser, and returns at once without waiting for
// the handler. Only the verb "open" is known. True when a handler took it.
bool ShellExecute(CWnd* owner, const std::string& verb, const std::string& file, int showCommand);

} // namespace kelvara

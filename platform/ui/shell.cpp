#include "platform/ui/shell.hpp"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace kelvara {

bool ShellExecute(CWnd* /*owner*/, const std::string& verb, const std::string& file,
                  int /*showCommand*/) {
    if (verb != "open" || file.empty()) {
        return false;
    }
    const QString text = QString::fromLocal8Bit(file.data(), static_cast<qsizetype>(file.size()));
    const QUrl url = QUrl::fromUserInput(text);
    // Qt hands the address to the desktop's opener (xdg-open on Linux) and
    // does not wait for the browser.
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace kelvara

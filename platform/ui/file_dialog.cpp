#include "platform/ui/file_dialog.hpp"

#include "platform/ui/win_app.hpp"
#include "platform/ui/wnd.hpp"

#include <QFileDialog>
#include <QString>
#include <QStringList>

namespace kelvara {
namespace {

QString FromLocal(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

// The window the chooser is modal over: the given parent, else the main window.
QWidget* OwnerWidget(CWnd* parent) {
    if (parent) {
        return parent->GetSafeWidget();
    }
    const CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeWidget() : nullptr;
}

} // namespace

std::vector<FileFilter> ParseFileFilters(std::string_view filterList) {
    std::vector<FileFilter> filters;
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= filterList.size()) {
        const std::size_t bar = filterList.find('|', start);
        const std::size_t end = bar == std::string_view::npos ? filterList.size() : bar;
        parts.push_back(filterList.substr(start, end - start));
        if (bar == std::string_view::npos) {
            break;
        }
        start = bar + 1;
    }
    // The list ends at the first empty label (the "||" that closes it).
    for (std::size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
        filters.push_back({std::string(parts[i]), std::string(parts[i + 1])});
    }
    return filters;
}

std::string QtNameFilter(const FileFilter& filter) {
    std::string patterns;
    std::string_view rest = filter.patterns;
    while (!rest.empty()) {
        const std::size_t semicolon = rest.find(';');
        std::string pattern = Trimmed(rest.substr(0, semicolon));
        if (pattern == "*.*") {
            pattern = "*";
        }
        if (!pattern.empty()) {
            patterns += (patterns.empty() ? "" : " ") + pattern;
        }
        rest =
            semicolon == std::string_view::npos ? std::string_view{} : rest.substr(semicolon + 1);
    }
    return filter.label + " (" + patterns + ")";
}

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExt, const char* fileName,
                         UINT flags, const char* filter, CWnd* parent)
    : m_openFileDialog(openFileDialog), m_defaultExt(defaultExt ? defaultExt : ""),
      m_fileName(fileName ? fileName : ""), m_flags(flags),
      m_filters(filter ? ParseFileFilters(filter) : std::vector<FileFilter>{}), m_parent(parent) {}

int CFileDialog::DoModal() {
    QFileDialog chooser(OwnerWidget(m_parent));
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    // The combo box shows the labels exactly; the patterns Qt needs stay hidden.
    chooser.setOption(QFileDialog::HideNameFilterDetails);
    chooser.setAcceptMode(m_openFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    chooser.setFileMode((m_flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                      : QFileDialog::AnyFile);
    chooser.setOption(QFileDialog::DontConfirmOverwrite, (m_flags & OFN_OVERWRITEPROMPT) == 0);
    chooser.setDefaultSuffix(FromLocal(m_defaultExt));
    if (!m_filters.empty()) {
        QStringList nameFilters;
        for (const FileFilter& filter : m_filters) {
            nameFilters << FromLocal(QtNameFilter(filter));
        }
        chooser.setNameFilters(nameFilters);
        chooser.selectNameFilter(nameFilters.front());
    }
    if (!m_fileName.empty()) {
        chooser.selectFile(FromLocal(m_fileName));
    }

    if (chooser.exec() != QDialog::Accepted) {
        return IDCANCEL;
    }
    const QStringList chosen = chooser.selectedFiles();
    if (chosen.isEmpty()) {
        return IDCANCEL;
    }
    const QByteArray path = chosen.front().toLocal8Bit();
    m_pathName.assign(path.constData(), static_cast<std::size_t>(path.size()));
    return IDOK;
}

} // namespace kelvara

#pragma once
// File chooser of the dialog framework, over Qt's own (non-native) file dialog
// so that it looks and behaves the same on every desktop and can be driven by
// tests.

#include "platform/ui/afx.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

class CWnd;

// Chooser options.
inline constexpr UINT OFN_OVERWRITEPROMPT = 0x00000002; // save kind: confirm replacing a file
inline constexpr UINT OFN_HIDEREADONLY = 0x00000004;    // no read-only box (Qt never shows one)
inline constexpr UINT OFN_FILEMUSTEXIST = 0x00001000;   // only existing files can be picked

// One entry of a filter list: what the chooser shows and the patterns it
// matches, ";"-separated.
struct FileFilter {
    std::string label;
    std::string patterns;
};

// Splits a filter list written as "label|patterns|label|patterns||".
std::vector<FileFilter> ParseFileFilters(std::string_view filterList);

// The Qt name filter for an entry: its label, then the patterns in the
// parentheses Qt reads them from. "*.*" means every file, with or without a
// dot, so it becomes "*" for Qt.
std::string QtNameFilter(const FileFilter& filter);

class CFileDialog {
public:
    // `defaultExt` is appended, after a dot, to a name typed without one;
    // `fileName` fills the name box; with no `parent` the chooser belongs to the
    // application's main window.
    explicit CFileDialog(BOOL openFileDialog, const char* defaultExt = nullptr,
                         const char* fileName = nullptr,
                         UINT flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         const char* filter = nullptr, CWnd* parent = nullptr);

    // Runs the chooser modally: IDOK when the user confirmed a file, IDCANCEL
    // otherwise.
    int DoModal();

    // Full path of the chosen file, in the 8-bit encoding of the locale.
    std::string GetPathName() const { return m_pathName; }

private:
    BOOL m_openFileDialog;
    std::string m_defaultExt;
    std::string m_fileName;
    UINT m_flags;
    std::vector<FileFilter> m_filters;
    CWnd* m_parent;
    std::string m_pathName;
};

} // namespace kelvara

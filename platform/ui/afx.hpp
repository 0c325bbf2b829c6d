#pragma once
// Basic types and numeric constants of the dialog framework layer. The values
// are the ones the program's templates and routing tables are written in
// (command ids, style words, system-command values), so they stay numerically
// identical to what those tables describe.

#include <cstdint>

class QIcon;

namespace kelvara {

using BOOL = bool;
inline constexpr BOOL TRUE = true;
inline constexpr BOOL FALSE = false;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

// Icons live as long as the process (like shared resource icons), so a plain
// pointer is a sufficient handle.
using HICON = const QIcon*;
using HCURSOR = HICON;

// Dialog results and standard command ids.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr UINT ID_HELP = 0xE146;

// Message box types.
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;

// System commands (the low four bits are reserved for the platform).
inline constexpr UINT SC_MASK = 0xFFF0;
inline constexpr UINT SC_SIZE = 0xF000;
inline constexpr UINT SC_MOVE = 0xF010;
inline constexpr UINT SC_MINIMIZE = 0xF020;
inline constexpr UINT SC_MAXIMIZE = 0xF030;
inline constexpr UINT SC_CLOSE = 0xF060;
inline constexpr UINT SC_KEYMENU = 0xF100;
inline constexpr UINT SC_RESTORE = 0xF120;

// Menu item flags.
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_SEPARATOR = 0x0800;

// Window and control style bits used by dialog templates.
inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_CHILD = 0x40000000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000;
inline constexpr std::uint32_t WS_BORDER = 0x00800000;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000;
inline constexpr std::uint32_t WS_THICKFRAME = 0x00040000;
inline constexpr std::uint32_t WS_GROUP = 0x00020000;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000;
inline constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000; // on top-level windows only
inline constexpr std::uint32_t WS_MAXIMIZEBOX = 0x00010000; // on top-level windows only
inline constexpr std::uint32_t DS_SETFONT = 0x00000040;
inline constexpr std::uint32_t DS_MODALFRAME = 0x00000080;
inline constexpr std::uint32_t DS_CENTER = 0x00000800;
inline constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x00000001;
inline constexpr std::uint32_t ES_AUTOHSCROLL = 0x00000080;
inline constexpr std::uint32_t ES_PASSWORD = 0x00000020;
inline constexpr std::uint32_t SS_ICON = 0x00000003;
inline constexpr std::uint32_t SS_NOPREFIX = 0x00000080;

// Help contexts of dialogs: this base plus the template's resource number.
inline constexpr UINT HID_BASE_RESOURCE = 0x00020000;

// Metrics of the standard large icon.
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
int GetSystemMetrics(int index);

} // namespace kelvara

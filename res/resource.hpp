#pragma once
// Resource numbers of the program: dialogs, icon, strings, commands and the
// control ids the code addresses.

#include "platform/ui/resources.hpp"

namespace kelvara {

inline constexpr UINT IDD_ABOUTBOX = 100;
inline constexpr UINT IDS_ABOUTBOX = 101;
inline constexpr UINT IDD_EXPORT_DIALOG = 102;
inline constexpr UINT IDP_SOCKETS_INIT_FAILED = 103;
inline constexpr UINT IDR_MAINFRAME = 128;

// System-menu command of the About item.
inline constexpr UINT IDM_ABOUTBOX = 0x0010;

// Controls of the main dialog.
inline constexpr int IDC_INPUT_FILE = 1000;
inline constexpr int IDC_OUTPUT_FILE = 1001;
inline constexpr int IDC_BROWSE_INPUT = 1002;
inline constexpr int IDC_BROWSE_OUTPUT = 1003;
inline constexpr int IDC_CONVERT = 1004;
inline constexpr int IDC_TABLE_NAME = 1005;
inline constexpr int IDC_PASSWORD = 1007;
inline constexpr int IDC_USER_NAME = 1008;
inline constexpr int IDC_HELP_BUTTON = 1009;
inline constexpr int IDC_NOTICE = 1045;

namespace res {

// The program's resources, to be installed with AfxSetResourceModule.
const ResourceModule& Module();

} // namespace res
} // namespace kelvara

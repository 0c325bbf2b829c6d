#include "res/resource.hpp"

namespace kelvara::res {
namespace {

// Style words of the templates' controls and windows.
constexpr std::uint32_t kDefaultButton = 0x50010001; // child, visible, tab stop, default
constexpr std::uint32_t kPushButton = 0x50010000;    // child, visible, tab stop
constexpr std::uint32_t kEdit = 0x50810080;          // ... border, horizontal auto-scroll
constexpr std::uint32_t kLabel = 0x50020000;         // child, visible, starts a group
constexpr std::uint32_t kExportDialogStyle = 0x90C800C0;
constexpr std::uint32_t kAboutDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

using enum ControlClass;

constexpr ControlTemplate kExportControls[] = {
    {Button, IDOK, "Quit", 260, 7, 50, 14, kDefaultButton, 0},
    {Edit, IDC_INPUT_FILE, "", 51, 7, 166, 14, kEdit, 0},
    {Edit, IDC_OUTPUT_FILE, "", 51, 22, 166, 14, kEdit, 0},
    {Static, -1, "Input File:", 7, 9, 32, 8, kLabel, 0},
    {Static, -1, "Output File:", 8, 25, 37, 8, kLabel, 0},
    {Button, IDC_BROWSE_INPUT, "Browse", 218, 7, 39, 14, kPushButton, 0},
    {Button, IDC_BROWSE_OUTPUT, "Browse", 218, 22, 39, 14, kPushButton, 0},
    {Button, IDC_CONVERT, "Convert", 260, 22, 50, 14, kPushButton, 0},
    {Static, -1, "Table Name:", 7, 40, 42, 8, kLabel, 0},
    {Edit, IDC_TABLE_NAME, "", 51, 37, 166, 14, kEdit, 0},
    {Static, -1, "Username:", 7, 55, 35, 8, kLabel, 0},
    {Static, -1, "Password:", 119, 54, 34, 8, kLabel, 0},
    {Edit, IDC_PASSWORD, "", 153, 51, 63, 14, kEdit, 0},
    {Edit, IDC_USER_NAME, "", 51, 51, 63, 14, kEdit, 0},
    {Static, IDC_NOTICE, "Tarnwick Kelvara v1.01 - Access table to CSV export", 7, 72, 276, 8,
     kLabel, 0},
    {Button, IDC_HELP_BUTTON, "Help", 260, 51, 50, 14, kPushButton, 0},
};

constexpr ControlTemplate kAboutControls[] = {
    {Static, -1, nullptr, 11, 17, 20, 20, WS_CHILD | WS_VISIBLE | SS_ICON, IDR_MAINFRAME},
    {Static, -1, "Kelvara Version 1.0", 40, 10, 119, 8,
     WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX, 0},
    {Static, -1, "Copyright (C) Tarnwick, Corwell", 40, 25, 119, 8,
     WS_CHILD | WS_VISIBLE | WS_GROUP, 0},
    {Button, IDOK, "OK", 178, 7, 50, 14,
     WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
    {Static, -1, "Exports one table of an Access database to a CSV file.", 40, 40, 188, 8,
     WS_CHILD | WS_VISIBLE | WS_GROUP, 0},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_ABOUTBOX, kAboutDialogStyle, 0, 0, 0, 235, 55, "About Kelvara", "MS Sans Serif", 8,
     kAboutControls},
    {IDD_EXPORT_DIALOG, kExportDialogStyle, WS_EX_APPWINDOW, 0, 0, 320, 81,
     "Tarnwick Kelvara - Corwell", "MS Sans Serif", 8, kExportControls},
};

// Icon 128: a database drum handing an arrow to a sheet, in the 16 standard
// colours (see IconImage for the encoding).
constexpr const char* kMainIcon32[] = {
    "................................", "................................",
    "................................", "...............000000000000000..",
    "...eeeeeeeeee..0fffffffffffff0..", ".4eeeeeeeeeeee40fffffffffffff0..",
    ".4eeeeeeeeeeee40fffffffffffff0..", ".46eeeeeeeeee640fffffffffffff0..",
    ".466666666666640ffcccccccccff0..", ".466666666666640fffffffffffff0..",
    ".466666666666640fffffffffffff0..", ".466666666666640ffff2ffffffff0..",
    ".466666666666640ffcc2acccccff0..", ".466666666666640ffff2aaffffff0..",
    ".46666666222222222222aaafffff0..", ".46666666222222222222aaaaffff0..",
    ".46666666222222222222aaaaccff0..", ".46666666222222222222aaafffff0..",
    ".466666666666640ffff2aaffffff0..", ".466666666666640ffff2afffffff0..",
    ".466666666666640ffcc2ccccccff0..", ".466666666666640fffffffffffff0..",
    ".466666666666640fffffffffffff0..", ".466666666666640fffffffffffff0..",
    ".466666666666640ffcccccccccff0..", "...6666666666..0fffffffffffff0..",
    "...............0fffffffffffff0..", "...............0fffffffffffff0..",
    "...............000000000000000..", "................................",
    "................................", "................................",
};

constexpr const char* kMainIcon16[] = {
    "................", ".......00000000.", ".eeeeee0ffffff0.", "0eeeeee0ffffff0.",
    "06666660ffffff0.", "06666660ffffff0.", "06666660ffafff0.", "0666222222aaff0.",
    "0666222222aaff0.", "06666660ffafff0.", "06666660ffffff0.", "06666660ffffff0.",
    ".6666660ffffff0.", ".......0ffffff0.", "................", "................",
};

constexpr IconImage kMainIconImages[] = {{32, kMainIcon32}, {16, kMainIcon16}};

constexpr IconResource kIcons[] = {{IDR_MAINFRAME, kMainIconImages}};

constexpr StringResource kStrings[] = {
    {IDS_ABOUTBOX, "&About Kelvara..."},
    {IDP_SOCKETS_INIT_FAILED, "Windows sockets initialization failed."},
};

constexpr ResourceModule kModule{kDialogs, kIcons, kStrings};

} // namespace

const ResourceModule& Module() {
    return kModule;
}

} // namespace kelvara::res

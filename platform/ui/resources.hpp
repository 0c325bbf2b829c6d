#pragma once
// Resource data of a program (dialog templates, icons, string table) as plain
// constant tables, and the lookup the framework does in them. The program
// installs its table once at start (AfxSetResourceModule).

#include "platform/ui/afx.hpp"

#include <cstdint>
#include <span>
#include <string>

namespace kelvara {

enum class ControlClass { Button, Edit, Static };

// One control of a dialog template; positions and sizes in dialog units.
struct ControlTemplate {
    ControlClass kind;
    int id; // -1 for controls nobody addresses
    const char* text;
    short x, y, cx, cy;
    std::uint32_t style;
    UINT imageId; // icon resource shown by SS_ICON statics, 0 otherwise
};

struct DialogTemplate {
    UINT id;
    std::uint32_t style;
    std::uint32_t exStyle;
    short x, y, cx, cy;
    const char* caption;
    const char* fontName;
    int pointSize;
    std::span<const ControlTemplate> controls;
};

// A square image of an icon drawn with the sixteen standard colours: each row
// is a string of characters '0'-'9', 'a'-'f' (palette index) or '.' (clear).
struct IconImage {
    int size;
    std::span<const char* const> rows;
};

struct IconResource {
    UINT id;
    std::span<const IconImage> images;
};

struct StringResource {
    UINT id;
    const char* text;
};

struct ResourceModule {
    std::span<const DialogTemplate> dialogs;
    std::span<const IconResource> icons;
    std::span<const StringResource> strings;
};

void AfxSetResourceModule(const ResourceModule* module);
const ResourceModule* AfxGetResourceModule();

const DialogTemplate* AfxFindDialogTemplate(UINT id);
const IconResource* AfxFindIconResource(UINT id);
// The string table entry `id`; empty when there is none.
std::string AfxLoadString(UINT id);

// Loads icon `id` once; the icon stays valid until the process ends. Null when
// the resource does not exist. Needs the GUI application object.
HICON AfxLoadIcon(UINT id);

} // namespace kelvara

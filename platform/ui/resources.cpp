#include "platform/ui/resources.hpp"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <map>
#include <memory>

namespace kelvara {
namespace {

const ResourceModule* g_module = nullptr;

template <class Item> const Item* FindById(std::span<const Item> items, UINT id) {
    for (const Item& item : items) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

// The sixteen colours of the classic 4-bit palette, in index order.
constexpr QRgb kPalette[16] = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

QRgb ColourOf(char c) {
    if (c >= '0' && c <= '9') {
        return kPalette[c - '0'];
    }
    if (c >= 'a' && c <= 'f') {
        return kPalette[c - 'a' + 10];
    }
    return 0x00000000;
}

QImage ImageOf(const IconImage& icon) {
    QImage image(icon.size, icon.size, QImage::Format_ARGB32);
    for (int y = 0; y < icon.size; ++y) {
        const char* row = icon.rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < icon.size; ++x) {
            image.setPixel(x, y, ColourOf(row[x]));
        }
    }
    return image;
}

} // namespace

void AfxSetResourceModule(const ResourceModule* module) {
    g_module = module;
}
const ResourceModule* AfxGetResourceModule() {
    return g_module;
}

const DialogTemplate* AfxFindDialogTemplate(UINT id) {
    return g_module ? FindById(g_module->dialogs, id) : nullptr;
}

const IconResource* AfxFindIconResource(UINT id) {
    return g_module ? FindById(g_module->icons, id) : nullptr;
}

std::string AfxLoadString(UINT id) {
    const StringResource* entry = g_module ? FindById(g_module->strings, id) : nullptr;
    return entry ? std::string(entry->text) : std::string();
}

HICON AfxLoadIcon(UINT id) {
    // Shared icons are never released, as the handles handed out must stay valid.
    static std::map<UINT, std::unique_ptr<QIcon>> loaded;
    if (auto found = loaded.find(id); found != loaded.end()) {
        return found->second.get();
    }
    const IconResource* resource = AfxFindIconResource(id);
    if (!resource) {
        return nullptr;
    }
    auto icon = std::make_unique<QIcon>();
    for (const IconImage& image : resource->images) {
        icon->addPixmap(QPixmap::fromImage(ImageOf(image)));
    }
    return loaded.emplace(id, std::move(icon)).first->second.get();
}

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    default:
        return 0;
    }
}

} // namespace kelvara

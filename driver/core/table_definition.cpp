#include "driver/core/table_definition.hpp"

#include "driver/core/bytes.hpp"
#include "driver/core/file_error.hpp"

#include <algorithm>
#include <numeric>
#include <set>

namespace kelvara::driver::detail {
namespace {

// Positions in a table definition, which differ between Jet 3 and Jet 4.
struct DefinitionFormat {
    std::size_t variableColumnCount;
    std::size_t columnCount;
    std::size_t realIndexCount;
    std::size_t usageMap;
    std::size_t columnsStart;
    std::size_t realIndexEntrySize;
    std::size_t columnEntrySize;
    // Within one column entry:
    std::size_t columnNumber;
    std::size_t variableIndex;
    std::size_t precision;
    std::size_t flags;
    std::size_t fixedOffset;
    std::size_t length;
};

constexpr DefinitionFormat kJet3{23, 25, 31, 35, 43, 8, 18, 1, 3, 11, 13, 14, 16};
constexpr DefinitionFormat kJet4{43, 45, 51, 55, 63, 12, 25, 5, 7, 11, 15, 21, 23};

constexpr unsigned char kLargeNumberType = 0x13;
constexpr unsigned char kFixedColumn = 0x01;
constexpr unsigned char kAutoNumber = 0x04;
constexpr unsigned char kAutoGuid = 0x40;

// A definition longer than this many pages is a loop in a damaged file.
constexpr std::size_t kMaxDefinitionPages = 1024;

ColumnKind kindOf(unsigned char type) {
    switch (type) {
    case 0x01:
        return ColumnKind::Bool;
    case 0x02:
        return ColumnKind::Byte;
    case 0x03:
        return ColumnKind::Int16;
    case 0x04:
        return ColumnKind::Int32;
    case 0x05:
        return ColumnKind::Money;
    case 0x06:
        return ColumnKind::Float32;
    case 0x07:
        return ColumnKind::Float64;
    case 0x08:
        return ColumnKind::DateTime;
    case 0x09:
    case 0x11: // a fixed binary column longer than 255 bytes
        return ColumnKind::Binary;
    case 0x0A:
        return ColumnKind::Text;
    case 0x0B:
        return ColumnKind::Ole;
    case 0x0C:
        return ColumnKind::Memo;
    case 0x0F:
        return ColumnKind::Guid;
    case 0x10:
        return ColumnKind::Numeric;
    default:
        return ColumnKind::Unsupported;
    }
}

// The definition as one run of bytes: the first page whole, then each
// continuation page without its 8-byte header, which is how offsets in a
// definition count.
class DefinitionBytes {
public:
    DefinitionBytes(const DatabaseFile& file, std::uint32_t first, const std::string& table)
        : file_(file), table_(table) {
        const unsigned pageSize = file.pages->pageSize();
        std::vector<unsigned char> page(pageSize);
        std::set<std::uint32_t> seen;
        for (std::uint32_t number = first; number != 0;) {
            if (!seen.insert(number).second || seen.size() > kMaxDefinitionPages) {
                fail("its pages form a loop.");
            }
            file.pages->read(number, page.data());
            if (page[0] != kTableDefinitionPage) {
                fail("page " + std::to_string(number) + " is not part of a table definition.");
            }
            bytes_.insert(bytes_.end(), page.begin() + (number == first ? 0 : 8), page.end());
            number = le32(page.data() + 4);
        }
    }

    [[noreturn]] void fail(const std::string& what) const {
        throwDamaged(file_.pages->path(), "the definition of table '" + table_ + "': " + what);
    }

    const unsigned char* at(std::size_t offset, std::size_t size) const {
        if (offset > bytes_.size() || size > bytes_.size() - offset) {
            fail("it is cut short.");
        }
        return bytes_.data() + offset;
    }

    std::uint16_t u16(std::size_t offset) const { return le16(at(offset, 2)); }
    std::uint32_t u32(std::size_t offset) const { return le32(at(offset, 4)); }

private:
    const DatabaseFile& file_;
    const std::string& table_;
    std::vector<unsigned char> bytes_;
};

std::string columnName(const DatabaseFile& file, const DefinitionBytes& bytes, std::size_t& pos) {
    std::string name;
    if (file.isJet3()) {
        const std::size_t length = *bytes.at(pos, 1);
        file.codePage.append(bytes.at(pos + 1, length), length, name);
        pos += 1 + length;
    } else {
        const std::size_t length = bytes.u16(pos);
        appendUtf16le(bytes.at(pos + 2, length), length, name);
        pos += 2 + length;
    }
    return name;
}

void describeColumn(const DatabaseFile& file, const unsigned char* entry,
                    const DefinitionFormat& format, ColumnInfo& info, ColumnLayout& layout) {
    const unsigned char flags = entry[format.flags];
    const std::uint16_t length = le16(entry + format.length);
    info.kind = kindOf(entry[0]);
    if (entry[0] == kLargeNumberType) {
        // Access's "Large Number" has no kind of its own; every value fits
        // an exact decimal of 19 digits.
        info.kind = ColumnKind::Numeric;
        info.precision = 19;
        layout.largeNumber = true;
    } else if (info.kind == ColumnKind::Text) {
        // Jet 4 counts the bytes of UTF-16 text, Jet 3 one byte per character.
        info.maxLength = file.isJet3() ? length : length / 2U;
    } else if (info.kind == ColumnKind::Binary) {
        info.maxLength = length;
    } else if (info.kind == ColumnKind::Numeric) {
        info.precision = entry[format.precision];
        info.scale = entry[format.precision + 1];
    }
    info.autoNumber = (info.kind == ColumnKind::Int32 && (flags & kAutoNumber) != 0) ||
                      (info.kind == ColumnKind::Guid && (flags & kAutoGuid) != 0);
    // A Yes/No value is its null bit and so is never NULL; neither is an
    // AutoNumber.
    info.nullable = info.kind != ColumnKind::Bool && !info.autoNumber;

    layout.kind = info.kind;
    layout.number = le16(entry + format.columnNumber);
    layout.fixed = (flags & kFixedColumn) != 0;
    layout.fixedOffset = le16(entry + format.fixedOffset);
    layout.varIndex = le16(entry + format.variableIndex);
    layout.size = length;
    layout.scale = info.scale;
}

} // namespace

std::vector<unsigned char> readPointedRow(const DatabaseFile& file, std::uint32_t pointer) {
    const std::uint32_t pageNumber = pointer >> 8;
    const unsigned rowIndex = pointer & 0xFFU;
    const unsigned pageSize = file.pages->pageSize();
    std::vector<unsigned char> page(pageSize);
    file.pages->read(pageNumber, page.data());
    const unsigned offset = file.rowCountOffset();
    const unsigned count = le16(page.data() + offset);
    if (page[0] != kDataPage || rowIndex >= count ||
        offset + 2 + 2 * std::size_t{count} > pageSize) {
        throwDamaged(file.pages->path(), "row " + std::to_string(rowIndex) + " of page " +
                                             std::to_string(pageNumber) + " does not exist.");
    }
    const std::size_t start = le16(page.data() + offset + 2 + 2 * rowIndex) & 0x1FFFU;
    const std::size_t end =
        rowIndex == 0 ? pageSize : (le16(page.data() + offset + 2 * rowIndex) & 0x1FFFU);
    if (start >= end || end > pageSize) {
        throwDamaged(file.pages->path(), "row " + std::to_string(rowIndex) + " of page " +
                                             std::to_string(pageNumber) + " is misplaced.");
    }
    return {page.begin() + static_cast<std::ptrdiff_t>(start),
            page.begin() + static_cast<std::ptrdiff_t>(end)};
}

TableDefinition readTableDefinition(const DatabaseFile& file, std::uint32_t page,
                                    const std::string& name) {
    const DefinitionBytes bytes(file, page, name);
    const DefinitionFormat& format = file.isJet3() ? kJet3 : kJet4;

    TableDefinition definition;
    definition.name = name;
    definition.definitionPage = page;
    definition.hasVariableColumns = bytes.u16(format.variableColumnCount) > 0;
    const std::size_t columnCount = bytes.u16(format.columnCount);
    const std::size_t realIndexes = bytes.u32(format.realIndexCount);
    if (realIndexes > 1000) {
        bytes.fail("it lists too many indexes.");
    }

    std::size_t pos = format.columnsStart + realIndexes * format.realIndexEntrySize;
    std::vector<ColumnInfo> columns(columnCount);
    std::vector<ColumnLayout> layouts(columnCount);
    for (std::size_t i = 0; i < columnCount; ++i) {
        describeColumn(file, bytes.at(pos, format.columnEntrySize), format, columns[i], layouts[i]);
        pos += format.columnEntrySize;
    }
    for (std::size_t i = 0; i < columnCount; ++i) {
        columns[i].name = columnName(file, bytes, pos);
    }

    // Columns appear in the order of their numbers.
    std::vector<std::size_t> order(columnCount);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return layouts[a].number < layouts[b].number;
    });
    for (const std::size_t i : order) {
        definition.columns.push_back(std::move(columns[i]));
        definition.layouts.push_back(layouts[i]);
    }

    definition.usageMap = readPointedRow(file, bytes.u32(format.usageMap));
    return definition;
}

} // namespace kelvara::driver::detail

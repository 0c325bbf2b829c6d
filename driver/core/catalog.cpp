#include "driver/core/catalog.hpp"

#include "driver/core/bytes.hpp"
#include "driver/core/file_error.hpp"
#include "driver/core/name_match.hpp"
#include "driver/core/table_reader_impl.hpp"

#include <algorithm>

namespace kelvara::driver::detail {
namespace {

constexpr std::uint32_t kCatalogPage = 2;
constexpr std::int64_t kTableObject = 1;
constexpr std::uint32_t kPageOfId = 0x00FFFFFF;
// Catalog flags of objects Access keeps to itself or hides.
constexpr std::uint32_t kSystemFlags = 0x80000000U | 0x00000002U | 0x00000008U;

std::size_t columnIndex(const TableDefinition& definition, const std::string& name,
                        const std::string& path) {
    for (std::size_t i = 0; i < definition.columns.size(); ++i) {
        if (definition.columns[i].name == name) {
            return i;
        }
    }
    throwCannotOpen(path, "its catalog of tables has no column '" + name + "'.");
}

// Design properties: a 4-byte signature, then chunks of a 32-bit length
// (counting itself) and a 16-bit type. Chunk 0x80 lists the property names;
// chunk 0x01 holds the properties of one column: a header (32-bit length,
// the column name), then entries of a 16-bit length, a flag byte, a type
// byte, a 16-bit name index, a 16-bit value length and the value.
class PropertyParser {
public:
    PropertyParser(const DatabaseFile& file, const std::vector<unsigned char>& bytes)
        : file_(file), bytes_(bytes) {}

    std::set<std::string> required() {
        std::set<std::string> columns;
        std::size_t pos = 4;
        while (pos + 6 <= bytes_.size()) {
            const std::size_t length = le32(bytes_.data() + pos);
            const std::uint16_t type = le16(bytes_.data() + pos + 4);
            if (length < 6 || length > bytes_.size() - pos) {
                break;
            }
            if (type == 0x80) {
                readNames(pos + 6, pos + length);
            } else if (type == 0x01) {
                readColumnBlock(pos + 6, pos + length, columns);
            }
            pos += length;
        }
        return columns;
    }

private:
    std::string text(std::size_t pos, std::size_t length) const {
        std::string out;
        if (file_.isJet3()) {
            file_.codePage.append(bytes_.data() + pos, length, out);
        } else {
            appendUtf16le(bytes_.data() + pos, length, out);
        }
        return out;
    }

    void readNames(std::size_t pos, std::size_t end) {
        while (pos + 2 <= end) {
            const std::size_t length = le16(bytes_.data() + pos);
            if (length > end - pos - 2) {
                return;
            }
            names_.push_back(text(pos + 2, length));
            pos += 2 + length;
        }
    }

    void readColumnBlock(std::size_t pos, std::size_t end, std::set<std::string>& columns) const {
        if (pos + 6 > end) {
            return;
        }
        const std::size_t headerLength = le32(bytes_.data() + pos);
        const std::size_t nameLength = le16(bytes_.data() + pos + 4);
        if (headerLength < 6 || headerLength > end - pos || nameLength > headerLength - 6) {
            return;
        }
        const std::string column = text(pos + 6, nameLength);
        for (pos += headerLength; pos + 8 <= end;) {
            const std::size_t entryLength = le16(bytes_.data() + pos);
            const std::size_t nameIndex = le16(bytes_.data() + pos + 4);
            const std::size_t valueLength = le16(bytes_.data() + pos + 6);
            if (entryLength < 8 || entryLength > end - pos || valueLength > entryLength - 8) {
                return;
            }
            if (nameIndex < names_.size() && names_[nameIndex] == "Required" && valueLength >= 1 &&
                bytes_[pos + 8] != 0) {
                columns.insert(foldName(column));
            }
            pos += entryLength;
        }
    }

    const DatabaseFile& file_;
    const std::vector<unsigned char>& bytes_;
    std::vector<std::string> names_;
};

} // namespace

std::set<std::string> requiredColumns(const DatabaseFile& file,
                                      const std::vector<unsigned char>& properties) {
    return PropertyParser(file, properties).required();
}

std::vector<CatalogEntry> readCatalog(const std::shared_ptr<const DatabaseFile>& file) {
    TableDefinition definition = readTableDefinition(*file, kCatalogPage, "MSysObjects");
    const std::string& path = file->pages->path();
    const std::size_t idColumn = columnIndex(definition, "Id", path);
    const std::size_t nameColumn = columnIndex(definition, "Name", path);
    const std::size_t typeColumn = columnIndex(definition, "Type", path);
    const std::size_t flagsColumn = columnIndex(definition, "Flags", path);
    const std::size_t propertiesColumn = columnIndex(definition, "LvProp", path);

    TableReaderImpl reader(file, std::move(definition));
    std::vector<CatalogEntry> entries;
    Value value;
    while (reader.next()) {
        reader.read(typeColumn, value);
        if (value.type != Value::Type::Integer || (value.integer & 0x7FFF) != kTableObject) {
            continue;
        }
        CatalogEntry entry;
        reader.read(idColumn, value);
        if (value.type != Value::Type::Integer) {
            continue;
        }
        entry.definitionPage = static_cast<std::uint32_t>(value.integer) & kPageOfId;
        reader.read(nameColumn, value);
        if (value.type != Value::Type::Text || value.bytes.empty()) {
            continue;
        }
        entry.name = value.bytes;
        reader.read(flagsColumn, value);
        const auto flags =
            value.type == Value::Type::Integer ? static_cast<std::uint32_t>(value.integer) : 0U;
        entry.system = (flags & kSystemFlags) != 0 || entry.name.rfind("MSys", 0) == 0;
        try {
            reader.read(propertiesColumn, value);
            if (value.type == Value::Type::Binary) {
                entry.properties.assign(value.bytes.begin(), value.bytes.end());
            }
        } catch (const DriverError&) {
            // Damaged design properties only cost the "Required" flags.
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace kelvara::driver::detail

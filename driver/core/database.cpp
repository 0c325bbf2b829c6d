#include "driver/core/database.hpp"

#include "driver/core/bytes.hpp"
#include "driver/core/database_file.hpp"
#include "driver/core/file_error.hpp"
#include "driver/core/libmdb.hpp"
#include "driver/core/name_match.hpp"
#include "driver/core/quiet_stderr.hpp"
#include "driver/core/sqlstate.hpp"
#include "driver/core/table_reader_impl.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvara::driver {
namespace {

using detail::DatabaseFile;
using detail::FileHeader;
using detail::PageFile;
using detail::QuietStderr;
using detail::TableDefinition;

// Catalog flags of tables Access keeps to itself or hides.
constexpr std::uint32_t kSystemObject = 0x80000000U;
constexpr std::uint32_t kSystemObjectAlt = 0x00000002U;
constexpr std::uint32_t kHiddenObject = 0x00000008U;

struct CatalogTable {
    std::string name;
    std::string foldedName;
    std::uint32_t definitionPage = 0;
    bool system = false;
    MdbCatalogEntry* entry = nullptr; // owned by the libmdb handle
};

// Opens the file ourselves first: the checks libmdb does not make (or makes
// by printing to stderr) are made here, with errors that name the file.
int openDescriptor(const std::string& path, std::uint64_t& size) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        detail::throwCannotOpen(path, errno == ENOENT ? std::string("the file does not exist.")
                                                      : std::string(std::strerror(errno)) + ".");
    }
    if (S_ISDIR(status.st_mode)) {
        detail::throwCannotOpen(path, "it is a folder, not a file.");
    }
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        detail::throwCannotOpen(path, std::string(std::strerror(errno)) + ".");
    }
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        detail::throwCannotOpen(path, "it is not a regular file.");
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return descriptor;
}

FileHeader readHeader(int descriptor, std::uint64_t size, const std::string& path) {
    if (size == 0) {
        detail::throwCannotOpen(path, "the file is empty.");
    }
    unsigned char start[detail::kHeaderBytes] = {};
    const ssize_t got = ::pread(descriptor, start, sizeof start, 0);
    if (got < 0) {
        detail::throwCannotOpen(path, std::string(std::strerror(errno)) + ".");
    }
    return detail::parseFileHeader(start, static_cast<std::size_t>(got), path);
}

void checkLength(const FileHeader& header, std::uint64_t size, const std::string& path) {
    // Access writes whole pages; the system catalog's definition is page 2.
    if (size % header.pageSize != 0 || size < 3ULL * header.pageSize) {
        detail::throwCannotOpen(path, "the file is truncated.");
    }
}

// The catalog's table definition is always page 2. Encrypted pages that we
// could not decrypt, or a damaged start of the file, show here first.
void checkCatalogPage(const DatabaseFile& file) {
    std::vector<unsigned char> page(file.pages->pageSize());
    file.pages->read(2, page.data());
    if (page[0] == detail::kTableDefinitionPage && page[1] == 0x01) {
        return;
    }
    if (file.header.format == detail::FileFormat::Ace || file.header.pageKey != 0) {
        detail::throwCannotOpen(file.pages->path(),
                                "the file is encrypted in a way this driver cannot read.");
    }
    detail::throwCannotOpen(file.pages->path(), "the file is damaged.");
}

void checkPassword(const FileHeader& header, const std::string& password,
                   const std::string& path) {
    if (!header.password.empty() && header.password != password) {
        throw DriverError(sqlstate::kInvalidAuthorization,
                          "Not a valid password for the database file '" + path + "'.");
    }
}

bool isSystemTable(const MdbCatalogEntry& entry) {
    const auto flags = static_cast<std::uint32_t>(entry.flags);
    return (flags & (kSystemObject | kSystemObjectAlt | kHiddenObject)) != 0 ||
           std::strncmp(entry.object_name, "MSys", 4) == 0;
}

ColumnKind kindOf(int mdbType) {
    switch (mdbType) {
    case MDB_BOOL:
        return ColumnKind::Bool;
    case MDB_BYTE:
        return ColumnKind::Byte;
    case MDB_INT:
        return ColumnKind::Int16;
    case MDB_LONGINT:
        return ColumnKind::Int32;
    case MDB_MONEY:
        return ColumnKind::Money;
    case MDB_FLOAT:
        return ColumnKind::Float32;
    case MDB_DOUBLE:
        return ColumnKind::Float64;
    case MDB_DATETIME:
        return ColumnKind::DateTime;
    case MDB_BINARY:
    case 0x11: // a fixed binary column longer than 255 bytes
        return ColumnKind::Binary;
    case MDB_TEXT:
        return ColumnKind::Text;
    case MDB_OLE:
        return ColumnKind::Ole;
    case MDB_MEMO:
        return ColumnKind::Memo;
    case MDB_REPID:
        return ColumnKind::Guid;
    case MDB_NUMERIC:
        return ColumnKind::Numeric;
    default:
        return ColumnKind::Unsupported;
    }
}

bool isRequired(const MdbColumn& column) {
    const char* required = mdb_col_get_prop(&column, "Required");
    return required != nullptr && std::strcmp(required, "yes") == 0;
}

void describe(const MdbColumn& column, bool jet3, ColumnInfo& info, detail::ColumnLayout& layout) {
    info.name = column.name;
    info.kind = kindOf(column.col_type);
    const auto size = static_cast<std::uint32_t>(std::max(column.col_size, 0));
    if (info.kind == ColumnKind::Text) {
        info.maxLength = jet3 ? size : size / 2;
    } else if (info.kind == ColumnKind::Binary) {
        info.maxLength = size;
    }
    if (info.kind == ColumnKind::Numeric) {
        // libmdb reads the two bytes the other way round.
        info.precision = static_cast<std::uint8_t>(column.col_scale);
        info.scale = static_cast<std::uint8_t>(column.col_prec);
    }
    // Only a Long Integer or a Replication ID can be an AutoNumber; Jet 3
    // uses the flag bit for other things on other columns.
    info.autoNumber = (info.kind == ColumnKind::Int32 && column.is_long_auto != 0) ||
                      (info.kind == ColumnKind::Guid && column.is_uuid_auto != 0);
    info.nullable = !isRequired(column) && info.kind != ColumnKind::Bool && !info.autoNumber;

    layout.kind = info.kind;
    layout.number = static_cast<std::uint16_t>(column.col_num);
    layout.fixed = column.is_fixed != 0;
    layout.fixedOffset = static_cast<std::uint16_t>(column.fixed_offset);
    layout.varIndex = static_cast<std::uint16_t>(column.var_col_num);
    layout.size = static_cast<std::uint16_t>(size);
    layout.scale = info.scale;
}

struct MdbHandleCloser {
    void operator()(MdbHandle* handle) const {
        QuietStderr quiet;
        mdb_close(handle);
    }
};
using MdbHandlePtr = std::unique_ptr<MdbHandle, MdbHandleCloser>;

class DatabaseImpl final : public Database {
public:
    DatabaseImpl(std::shared_ptr<DatabaseFile> file, MdbHandlePtr handle)
        : file_(std::move(file)), handle_(std::move(handle)) {
        loadCatalog();
    }

    DatabaseImpl(const DatabaseImpl&) = delete;
    DatabaseImpl& operator=(const DatabaseImpl&) = delete;

    std::vector<std::string> tableNames(bool includeSystem) const override {
        std::vector<std::string> names;
        for (const CatalogTable& table : tables_) {
            if (includeSystem || !table.system) {
                names.push_back(table.name);
            }
        }
        return names;
    }

    std::unique_ptr<TableReader> openTable(std::string_view name) override {
        const std::string folded = foldName(name);
        for (const CatalogTable& table : tables_) {
            if (table.foldedName == folded) {
                return std::make_unique<detail::TableReaderImpl>(file_, readDefinition(table));
            }
        }
        throw DriverError(sqlstate::kTableNotFound,
                          "Cannot find the table '" + std::string(name) +
                              "'. Make sure it exists and that its name is spelled correctly.");
    }

    const std::string& path() const override { return file_->pages->path(); }

private:
    void loadCatalog() {
        QuietStderr quiet;
        if (mdb_read_catalog(handle_.get(), MDB_TABLE) == nullptr) {
            detail::throwCannotOpen(path(), "its catalog of tables cannot be read.");
        }
        for (unsigned i = 0; i < handle_->num_catalog; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(handle_->catalog->pdata[i]);
            if (entry == nullptr || entry->object_type != MDB_TABLE) {
                continue;
            }
            CatalogTable table;
            table.name = entry->object_name;
            table.foldedName = foldName(table.name);
            table.definitionPage = static_cast<std::uint32_t>(entry->table_pg);
            table.system = isSystemTable(*entry);
            table.entry = entry;
            tables_.push_back(std::move(table));
        }
    }

    TableDefinition readDefinition(const CatalogTable& table) {
        checkDefinitionPage(table);
        QuietStderr quiet;
        MdbTableDef* mdbTable = mdb_read_table(table.entry);
        if (mdbTable != nullptr && (mdbTable->columns == nullptr || mdbTable->columns->len == 0)) {
            mdb_read_columns(mdbTable);
        }
        if (mdbTable == nullptr || mdbTable->columns == nullptr ||
            mdbTable->columns->len != mdbTable->num_cols) {
            mdb_free_tabledef(mdbTable);
            detail::throwDamaged(path(), "the definition of table '" + table.name +
                                             "' cannot be read.");
        }
        TableDefinition definition;
        definition.name = table.name;
        definition.definitionPage = table.definitionPage;
        definition.hasVariableColumns = mdbTable->num_var_cols > 0;
        if (mdbTable->usage_map != nullptr) {
            definition.usageMap.assign(mdbTable->usage_map,
                                       mdbTable->usage_map + mdbTable->map_sz);
        }
        for (unsigned i = 0; i < mdbTable->num_cols; ++i) {
            const auto* column = static_cast<const MdbColumn*>(mdbTable->columns->pdata[i]);
            ColumnInfo info;
            detail::ColumnLayout layout;
            describe(*column, file_->isJet3(), info, layout);
            definition.columns.push_back(std::move(info));
            definition.layouts.push_back(layout);
        }
        mdb_free_tabledef(mdbTable);
        return definition;
    }

    void checkDefinitionPage(const CatalogTable& table) const {
        std::vector<unsigned char> page(file_->pages->pageSize());
        if (table.definitionPage >= file_->pages->pageCount()) {
            detail::throwDamaged(path(), "the definition of table '" + table.name +
                                             "' lies beyond the end of the file.");
        }
        file_->pages->read(table.definitionPage, page.data());
        if (page[0] != detail::kTableDefinitionPage) {
            detail::throwDamaged(path(), "the definition of table '" + table.name +
                                             "' is missing.");
        }
    }

    std::shared_ptr<DatabaseFile> file_;
    MdbHandlePtr handle_;
    std::vector<CatalogTable> tables_;
};

} // namespace

std::unique_ptr<Database> Database::open(const std::string& path, const std::string& password) {
    std::uint64_t size = 0;
    const int descriptor = openDescriptor(path, size);
    FileHeader header;
    try {
        header = readHeader(descriptor, size, path);
        checkLength(header, size, path);
    } catch (...) {
        ::close(descriptor);
        throw;
    }
    const unsigned pageSize = header.pageSize;
    const std::uint32_t pageKey = header.pageKey;
    auto file = std::make_shared<DatabaseFile>(
        std::move(header), std::make_unique<PageFile>(path, descriptor, size, pageSize, pageKey));
    checkCatalogPage(*file);
    checkPassword(file->header, password, path);

    MdbHandlePtr handle;
    {
        QuietStderr quiet;
        handle.reset(mdb_open(path.c_str(), MDB_NOFLAGS));
    }
    if (!handle) {
        detail::throwCannotOpen(path, "it is not a readable Access database.");
    }
    return std::make_unique<DatabaseImpl>(std::move(file), std::move(handle));
}

} // namespace kelvara::driver

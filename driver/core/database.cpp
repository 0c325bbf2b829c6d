#include "driver/core/database.hpp"

#include "driver/core/catalog.hpp"
#include "driver/core/database_file.hpp"
#include "driver/core/file_error.hpp"
#include "driver/core/libmdb.hpp"
#include "driver/core/name_match.hpp"
#include "driver/core/quiet_stderr.hpp"
#include "driver/core/sqlstate.hpp"
#include "driver/core/table_definition.hpp"
#include "driver/core/table_reader_impl.hpp"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvara::driver {
namespace {

using detail::CatalogEntry;
using detail::DatabaseFile;
using detail::FileHeader;
using detail::PageFile;
using detail::QuietStderr;
using detail::TableDefinition;

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
    std::array<unsigned char, detail::kMaxPageSize> page{};
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

void checkPassword(const FileHeader& header, const std::string& password, const std::string& path) {
    if (!header.password.empty() && header.password != password) {
        throw DriverError(sqlstate::kInvalidAuthorization,
                          "Not a valid password for the database file '" + path + "'.");
    }
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
    DatabaseImpl(std::shared_ptr<const DatabaseFile> file, MdbHandlePtr handle)
        : file_(std::move(file)), handle_(std::move(handle)), tables_(readCatalog(*this)) {
        for (const CatalogEntry& table : tables_) {
            foldedNames_.push_back(foldName(table.name));
        }
    }

    std::vector<std::string> tableNames(bool includeSystem) const override {
        std::vector<std::string> names;
        for (const CatalogEntry& table : tables_) {
            if (includeSystem || !table.system) {
                names.push_back(table.name);
            }
        }
        return names;
    }

    std::unique_ptr<TableReader> openTable(std::string_view name) override {
        const std::string folded = foldName(name);
        for (std::size_t i = 0; i < tables_.size(); ++i) {
            if (foldedNames_[i] == folded) {
                return std::make_unique<detail::TableReaderImpl>(file_, readDefinition(tables_[i]));
            }
        }
        throw DriverError(sqlstate::kTableNotFound,
                          "Cannot find the table '" + std::string(name) +
                              "'. Make sure it exists and that its name is spelled correctly.");
    }

    const std::string& path() const override { return file_->pages->path(); }

private:
    // A catalog that cannot be read means the file cannot be opened.
    static std::vector<CatalogEntry> readCatalog(const DatabaseImpl& self) {
        try {
            return detail::readCatalog(self.file_);
        } catch (const DriverError& error) {
            throw DriverError(sqlstate::kUnableToConnect, error.what());
        }
    }

    TableDefinition readDefinition(const CatalogEntry& table) const {
        TableDefinition definition =
            detail::readTableDefinition(*file_, table.definitionPage, table.name);
        const std::set<std::string> required = detail::requiredColumns(*file_, table.properties);
        for (ColumnInfo& column : definition.columns) {
            if (required.count(foldName(column.name)) != 0) {
                column.nullable = false;
            }
        }
        return definition;
    }

    std::shared_ptr<const DatabaseFile> file_;
    // Held open while the database is: libmdb must accept the file too.
    MdbHandlePtr handle_;
    std::vector<CatalogEntry> tables_;
    std::vector<std::string> foldedNames_;
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

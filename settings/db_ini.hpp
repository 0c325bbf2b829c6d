#pragma once
// Reader and writer of the settings file "db.ini": KEY=value lines holding the
// five export fields between runs.

#include <filesystem>
#include <string>
#include <string_view>

namespace kelvara::settings {

struct ExportFields {
    std::string inputFile{};
    std::string outputFile{};
    std::string tableName{};
    std::string password{};
    std::string userName{};

    bool operator==(const ExportFields&) const = default;
};

inline constexpr const char* kFileName = "db.ini";

// Applies every recognised line of a settings file image (its bytes as on disk)
// to `fields`. Fields without a line keep their value.
void ApplyFileBytes(std::string_view bytes, ExportFields& fields);

// The exact bytes that SaveFile writes for `fields`.
std::string ComposeFileBytes(const ExportFields& fields);

// Reads the file at `path` into `fields`. A missing file is created empty,
// readable and writable by its owner only (it will hold a password). Returns
// false, leaving `fields` untouched, when the file cannot be opened.
bool LoadFile(const std::filesystem::path& path, ExportFields& fields);

enum class SaveResult {
    Saved,
    CannotOpen,  // nothing written; an existing file keeps its content
    WriteFailed, // opened, but the new content did not reach the disk whole
};

// Writes `fields` to `path`. The new content goes to a file beside the old one
// which then replaces it, so a failure part-way (a full disk) keeps the old
// file; the old file's permissions are kept.
SaveResult SaveFile(const std::filesystem::path& path, const ExportFields& fields);

} // namespace kelvara::settings

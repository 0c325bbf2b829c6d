#include "settings/db_ini.hpp"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvara::settings {
namespace {

constexpr char kEndOfFile = '\x1A';

// Undoes the text-mode translation of the file: CR LF reads as LF, a lone CR is
// kept, and the first 0x1A ends the input.
std::string TextModeContent(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == kEndOfFile) {
            break;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        text += c;
    }
    return text;
}

bool IsTrailingWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view TrimTrailingWhiteSpace(std::string_view line) {
    while (!line.empty() && IsTrailingWhiteSpace(line.back())) {
        line.remove_suffix(1);
    }
    return line;
}

std::string* FieldForKey(std::string_view key, ExportFields& fields) {
    if (key == "INPUT") {
        return &fields.inputFile;
    }
    if (key == "OUTPUT") {
        return &fields.outputFile;
    }
    if (key == "USERNAME") {
        return &fields.userName;
    }
    if (key == "PASSWORD") {
        return &fields.password;
    }
    if (key == "TABLE") {
        return &fields.tableName;
    }
    return nullptr;
}

void ApplyLine(std::string_view line, ExportFields& fields) {
    line = TrimTrailingWhiteSpace(line);
    const std::size_t equals = line.find('=');
    const std::string_view key = line.substr(0, equals);
    // Everything after the first "=" is the value, further "=" included:
    // passwords and paths may contain them.
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view{} : line.substr(equals + 1);
    if (std::string* field = FieldForKey(key, fields)) {
        field->assign(value);
    }
}

bool ReadAll(int fd, std::string& bytes) {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) {
            return true;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file that saving really replaces: a symbolic link named db.ini keeps
// pointing at its target instead of being replaced by a plain file.
std::filesystem::path ResolvedTarget(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        auto target = std::filesystem::weakly_canonical(path, error);
        if (!error) {
            return target;
        }
    }
    return path;
}

SaveResult WriteInPlace(int fd, std::string_view bytes, bool truncate) {
    const bool written = (!truncate || ::ftruncate(fd, 0) == 0) && WriteAll(fd, bytes);
    const bool closed = ::close(fd) == 0;
    return written && closed ? SaveResult::Saved : SaveResult::WriteFailed;
}

SaveResult ReplaceThroughTemporary(const std::filesystem::path& target, mode_t mode,
                                   std::string_view bytes, int targetFd) {
    std::string temporary = target.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        // The folder takes no new file although the file itself is writable:
        // writing in place is the only way left.
        return WriteInPlace(targetFd, bytes, true);
    }
    ::close(targetFd);
    const bool complete = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (complete && closed && ::rename(temporary.c_str(), target.c_str()) == 0) {
        return SaveResult::Saved;
    }
    ::unlink(temporary.c_str());
    return SaveResult::WriteFailed;
}

} // namespace

void ApplyFileBytes(std::string_view bytes, ExportFields& fields) {
    const std::string text = TextModeContent(bytes);
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        // A last line without a line end counts like any other.
        ApplyLine(rest.substr(0, end), fields);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
}

std::string ComposeFileBytes(const ExportFields& fields) {
    std::string bytes;
    const auto line = [&bytes](std::string_view key, std::string_view value) {
        bytes.append(key).append(value).append("\r\n");
    };
    line("CREATOR=DB 1.0", "");
    line("OUTPUT=", fields.outputFile);
    line("INPUT=", fields.inputFile);
    line("TABLE=", fields.tableName);
    line("USERNAME=", fields.userName);
    line("PASSWORD=", fields.password);
    line("", "");
    return bytes;
}

bool LoadFile(const std::filesystem::path& path, ExportFields& fields) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    std::string bytes;
    ReadAll(fd, bytes); // a read error keeps what came before it
    ::close(fd);
    ApplyFileBytes(bytes, fields);
    return true;
}

SaveResult SaveFile(const std::filesystem::path& path, const ExportFields& fields) {
    const std::filesystem::path target = ResolvedTarget(path);
    // Opening the file itself for writing first is what decides whether saving
    // is allowed at all: a read-only db.ini must stay as it is even though the
    // folder would let us replace it.
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return SaveResult::CannotOpen;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return WriteInPlace(fd, ComposeFileBytes(fields), false);
    }
    return ReplaceThroughTemporary(target, status.st_mode & 07777, ComposeFileBytes(fields), fd);
}

} // namespace kelvara::settings

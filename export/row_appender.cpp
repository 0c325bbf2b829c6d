#include "export/row_appender.hpp"

#include "export/csv_row.hpp"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace kelvara::csv {

RowAppender::~RowAppender() {
    Close();
}

RowAppender::RowAppender(RowAppender&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

RowAppender& RowAppender::operator=(RowAppender&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool RowAppender::Open(const std::string& path) {
    Close();
    // 0666 before the umask: an ordinary file like any other the user creates.
    m_fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    return m_fd >= 0;
}

bool RowAppender::Write(std::string_view rowLine) {
    if (m_fd < 0) {
        return false;
    }
    m_bytes.clear();
    AppendTextModeBytes(rowLine, m_bytes);
    const char* next = m_bytes.data();
    std::size_t left = m_bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, next, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool RowAppender::Close() {
    if (m_fd < 0) {
        return true;
    }
    // A file system may report a failed write only when the file is closed
    // (NFS, quota), so the result counts.
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    return closed;
}

} // namespace kelvara::csv

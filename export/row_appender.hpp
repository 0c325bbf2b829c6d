#pragma once
// Appends row lines to the CSV output file.
//
// The file is opened in append mode (created as an ordinary file when missing,
// never truncated) and without any exclusive lock, so other programs may read or
// write it meanwhile. Each row line goes out as a single unbuffered write, so a
// row is complete on disk before the next one is fetched.

#include <string>
#include <string_view>

namespace kelvara::csv {

class RowAppender {
public:
    RowAppender() = default;
    ~RowAppender();
    RowAppender(const RowAppender&) = delete;
    RowAppender& operator=(const RowAppender&) = delete;
    RowAppender(RowAppender&& other) noexcept;
    RowAppender& operator=(RowAppender&& other) noexcept;

    // Opens `path` for appending; false when it cannot be opened for writing.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }

    // Writes one row line, each line feed becoming carriage return and line
    // feed. Returns false when the bytes did not all reach the file; callers that
    // follow the program's convention ignore this.
    bool Write(std::string_view rowLine);

    // Closes the file; false when the system reports that data did not reach it.
    bool Close();

private:
    int m_fd = -1;
    std::string m_bytes; // the bytes of the row being written, storage kept between rows
};

} // namespace kelvara::csv

#pragma once

#include <cstdio>
#include <mutex>

namespace kelvara::driver::detail {

// libmdb reports some conditions by printing to stderr. A driver loaded into
// someone else's process must never write there, so every call into libmdb
// runs inside one of these: it points the C library's stderr stream at
// /dev/null for its lifetime. Guards are serialised by one process-wide lock,
// which also serialises our use of libmdb, whose handles are not thread-safe.
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    std::unique_lock<std::recursive_mutex> lock_;
    std::FILE* saved_ = nullptr;
};

} // namespace kelvara::driver::detail

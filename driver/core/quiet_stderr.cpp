#include "driver/core/quiet_stderr.hpp"

namespace kelvara::driver::detail {
namespace {

std::recursive_mutex& libmdbMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

// Opened once and kept: the guard must work even when no descriptor is left.
std::FILE* nullStream() {
    static std::FILE* stream = std::fopen("/dev/null", "we");
    return stream;
}

} // namespace

QuietStderr::QuietStderr() : lock_(libmdbMutex()) {
    if (std::FILE* sink = nullStream()) {
        saved_ = stderr;
        stderr = sink;
    }
}

QuietStderr::~QuietStderr() {
    if (saved_ != nullptr) {
        std::fflush(stderr);
        stderr = saved_;
    }
}

} // namespace kelvara::driver::detail

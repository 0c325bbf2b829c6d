// Times the driver core alone on a large table: a full TableReader scan that
// decodes every value and writes its character form, as SQLGetData would,
// next to a scan that only walks the rows.
//
// Usage: kelvara_bench_core_scan [database] [table]
// (default ../shared/fixtures/bench.mdb relative to the source tree, "Sales")
#include "driver/core/database.hpp"
#include "driver/core/error.hpp"
#include "driver/core/format.hpp"

#include <chrono>
#include <ctime>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
using kelvara::driver::Database;
using kelvara::driver::TableReader;
using kelvara::driver::Value;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// CPU time of this process: on a busy machine it says more than the wall clock.
double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Totals {
    std::size_t rows = 0;
    std::size_t bytes = 0;
};

Totals walkRows(TableReader& reader) {
    Totals totals;
    reader.rewind();
    while (reader.next()) {
        ++totals.rows;
    }
    return totals;
}

Totals decodeAndFormat(TableReader& reader) {
    Totals totals;
    Value value;
    std::string text;
    const std::size_t columns = reader.columns().size();
    reader.rewind();
    while (reader.next()) {
        for (std::size_t c = 0; c < columns; ++c) {
            reader.read(c, value);
            text.clear();
            kelvara::driver::appendCharacterForm(value, text);
            totals.bytes += text.size();
        }
        ++totals.rows;
    }
    return totals;
}

} // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : KELVARA_DEFAULT_BENCH_DB;
    const std::string table = argc > 2 ? argv[2] : "Sales";
    try {
        const auto database = Database::open(path, "");
        const auto reader = database->openTable(table);

        auto start = Clock::now();
        double cpuStart = cpuSeconds();
        const Totals walked = walkRows(*reader);
        const double walkSeconds = seconds(start);
        const double walkCpu = cpuSeconds() - cpuStart;

        start = Clock::now();
        cpuStart = cpuSeconds();
        const Totals formatted = decodeAndFormat(*reader);
        const double formatSeconds = seconds(start);
        const double formatCpu = cpuSeconds() - cpuStart;

        std::printf("table %s: %zu rows, %zu columns\n", table.c_str(), walked.rows,
                    reader->columns().size());
        std::printf("row walk only:           %.3f s (CPU %.3f s)\n", walkSeconds, walkCpu);
        std::printf("decode + character form: %.3f s (CPU %.3f s, %zu bytes of text)\n",
                    formatSeconds, formatCpu, formatted.bytes);
        return 0;
    } catch (const kelvara::driver::DriverError& error) {
        std::fprintf(stderr, "%s: %s\n", error.sqlstate(), error.what());
        return 1;
    }
}

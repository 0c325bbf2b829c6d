// Presses Convert on the real main dialog (offscreen) for a table of
// bench.mdb and times the whole export, then times mdb-export on the same
// table in the same run. Each export runs in a child process of its own so
// that its peak memory can be compared between a 100,000-row and a
// 1,000,000-row table.
//
// usage: kelvara_convert_bench [bench.mdb]
#include "app/export_app.hpp"
#include "platform/ui/message_box.hpp"
#include "res/resource.hpp"
#include "ui/export_dlg.hpp"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One export in this process: fills the dialog, presses Convert, and prints
// "<seconds> <peak KiB> <output bytes>".
int RunOneExport(int argc, char** argv, const std::string& database, const std::string& table,
                 const std::string& output) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The dialog reads and writes db.ini in the working directory: keep the
    // benchmark's beside its output.
    fs::current_path(fs::path(output).parent_path());
    QApplication application(argc, argv);
    kelvara::CExportApp app;
    std::string boxes;
    kelvara::AfxSetMessageBoxPresenter([&](const kelvara::MessageBoxRequest& request) {
        boxes += request.text + "|";
        return kelvara::IDOK;
    });
    kelvara::CExportDlg dialog;
    double seconds = 0;
    QTimer::singleShot(0, [&] {
        auto edit = [&](int id) { return qobject_cast<QLineEdit*>(dialog.GetDlgItem(id)); };
        edit(kelvara::IDC_INPUT_FILE)->setText(QString::fromStdString(database));
        edit(kelvara::IDC_OUTPUT_FILE)->setText(QString::fromStdString(output));
        edit(kelvara::IDC_TABLE_NAME)->setText(QString::fromStdString(table));
        const auto start = Clock::now();
        qobject_cast<QPushButton*>(dialog.GetDlgItem(kelvara::IDC_CONVERT))->click();
        seconds = SecondsSince(start);
        dialog.EndDialog(kelvara::IDCANCEL);
    });
    dialog.DoModal();
    if (boxes != "Exported by Tarnwick.|") {
        std::fprintf(stderr, "export of %s failed: %s\n", table.c_str(), boxes.c_str());
        return 1;
    }
    std::printf("%.3f %ld %ju\n", seconds, PeakRssKiB(), static_cast<std::uintmax_t>(fs::file_size(output)));
    return 0;
}

struct ExportFigures {
    double seconds = 0;
    long peakKiB = 0;
    std::uintmax_t bytes = 0;
};

bool ExportInChild(const char* self, const std::string& database, const std::string& table,
                   const fs::path& workDir, ExportFigures& figures) {
    const fs::path output = workDir / (table + ".csv");
    fs::remove(output);
    const std::string command = "'" + std::string(self) + "' --one '" + database + "' '" + table +
                                "' '" + output.string() + "'";
    FILE* child = popen(command.c_str(), "r");
    if (child == nullptr) {
        return false;
    }
    const int read = std::fscanf(child, "%lf %ld %ju", &figures.seconds, &figures.peakKiB,
                                 &figures.bytes);
    const int status = pclose(child);
    fs::remove(output);
    return read == 3 && status == 0;
}

double TimeMdbExport(const std::string& database, const std::string& table) {
    const std::string command = "mdb-export '" + database + "' '" + table + "' > /dev/null";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) {
        return -1;
    }
    return SecondsSince(start);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--one") {
        return RunOneExport(1, argv, argv[2], argv[3], argv[4]);
    }
    const std::string database =
        fs::absolute(argc > 1 ? argv[1] : KELVARA_SOURCE_DIR "/../shared/fixtures/bench.mdb")
            .lexically_normal()
            .string();
    if (!fs::exists(database)) {
        std::fprintf(stderr, "no benchmark database at %s\n", database.c_str());
        return 1;
    }
    const fs::path workDir = fs::temp_directory_path() / ("kelvara-bench-" + std::to_string(getpid()));
    fs::create_directories(workDir);
    // The driver is the build tree's, found through its registration.
    setenv("ODBCSYSINI", KELVARA_DRIVER_DIR, 1);

    ExportFigures small, large;
    if (!ExportInChild(argv[0], database, "Sales_100k", workDir, small) ||
        !ExportInChild(argv[0], database, "Sales", workDir, large)) {
        std::fprintf(stderr, "an export failed\n");
        fs::remove_all(workDir);
        return 1;
    }
    fs::remove_all(workDir);
    const double mdbExport = TimeMdbExport(database, "Sales");

    std::printf("Convert Sales_100k (100,000 rows): %.2f s, peak RSS %.1f MB, %ju bytes\n",
                small.seconds, static_cast<double>(small.peakKiB) / 1024.0, small.bytes);
    std::printf("Convert Sales (1,000,000 rows):    %.2f s, peak RSS %.1f MB, %ju bytes\n",
                large.seconds, static_cast<double>(large.peakKiB) / 1024.0, large.bytes);
    std::printf("mdb-export Sales:                  %.2f s\n", mdbExport);
    std::printf("ratio Convert / mdb-export:        %.2f (target <= 0.60)\n",
                large.seconds / mdbExport);
    std::printf("peak RSS Sales - Sales_100k:       %+.1f MB (target within 5 MB)\n",
                static_cast<double>(large.peakKiB - small.peakKiB) / 1024.0);
    return 0;
}

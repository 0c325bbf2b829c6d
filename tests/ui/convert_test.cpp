// Convert, end to end: the real dialog under the offscreen platform, the real
// unixODBC driver manager, our driver, and the fixture databases.

#include "tests/support/file_bytes.hpp"
#include "tests/support/fixture_values.hpp"
#include "app/export_app.hpp"
#include "dialog_test_support.hpp"
#include "export/csv_row.hpp"
#include "res/resource.hpp"
#include "ui/export_dlg.hpp"

#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

using namespace kelvara;
using namespace kelvara::test;
namespace fs = std::filesystem;
using kelvara::test::ReadBytes;
using kelvara::test::WriteBytes;

namespace {

const std::string kFixtures = KELVARA_FIXTURES_DIR;

struct ConvertRun {
    std::vector<MessageBoxRequest> boxes;
};

// Fills in the five edits as a user would and presses Convert.
ConvertRun PressConvert(const std::string& input, const std::string& output,
                        const std::string& table, const std::string& user = {},
                        const std::string& password = {}) {
    RecordedBoxes boxes;
    CExportDlg dlg;
    RunModal(dlg, [&] {
        Edit(dlg, IDC_INPUT_FILE)->setText(QString::fromStdString(input));
        Edit(dlg, IDC_OUTPUT_FILE)->setText(QString::fromStdString(output));
        Edit(dlg, IDC_TABLE_NAME)->setText(QString::fromStdString(table));
        Edit(dlg, IDC_USER_NAME)->setText(QString::fromStdString(user));
        Edit(dlg, IDC_PASSWORD)->setText(QString::fromStdString(password));
        QTest::mouseClick(Button(dlg, IDC_CONVERT), Qt::LeftButton);
    });
    return {boxes.requests};
}

bool IsSuccessBox(const MessageBoxRequest& box) {
    return box.text == "Exported by Tarnwick." && box.caption == "Exported";
}
bool IsWriteErrorBox(const MessageBoxRequest& box) {
    return box.text == "Save to File" && box.caption == "Error Writing File";
}

std::string ExpectedFileBytes(const FixtureTable& table) {
    std::string bytes;
    for (const auto& row : table.rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            csv::AppendColumn(line, row[i].value_or(""), i == 0);
        }
        csv::EndRow(line);
        bytes += csv::TextModeBytes(line);
    }
    return bytes;
}

} // namespace

class ConvertTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(m_dir.emplace().isValid());
        m_oldDir = fs::current_path();
        fs::current_path(m_dir->path().toStdString());
    }
    void cleanup() {
        fs::current_path(m_oldDir);
        m_dir.reset();
    }

    void exportsExactBytesAndReportsSuccess_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("one column: quote, empty and NULL")
            << "OneCol" << QByteArray("\"a\"\r\n\"\"\"\r\n\"\"\r\n\"\"\r\n");
        QTest::newRow("bracketed name with a blank")
            << "[Order Lines]"
            << QByteArray("\"1001\",\"Widget\",\"3\",\"2.5000\"\r\n"
                          "\"1001\",\"Gadget, large\",\"1\",\"19.9900\"\r\n"
                          "\"1002\",\"Bolt M6\",\"100\",\"0.0500\"\r\n"
                          "\"1003\",\"Cable 2m\",\"2\",\"7.5000\"\r\n"
                          "\"1004\",\"Monitor 24 inch\",\"1\",\"189.0000\"\r\n");
        QTest::newRow("where clause after the name")
            << "[Order Lines] where OrderID = 1001 and Product like 'G*'"
            << QByteArray("\"1001\",\"Gadget, large\",\"1\",\"19.9900\"\r\n");
    }
    void exportsExactBytesAndReportsSuccess() {
        QFETCH(QString, table);
        QFETCH(QByteArray, bytes);
        const auto run = PressConvert(kFixtures + "/fixtures.mdb", "out.csv", table.toStdString());
        QCOMPARE(run.boxes.size(), 1u);
        QVERIFY(IsSuccessBox(run.boxes[0]));
        QCOMPARE(QByteArray::fromStdString(ReadBytes("out.csv")), bytes);
    }

    void everyValueOfAllTypesArrivesWhole_data() {
        QTest::addColumn<QString>("database");
        QTest::newRow("Jet 4") << "fixtures.mdb";
        QTest::newRow("ACE") << "fixtures.accdb";
    }
    void everyValueOfAllTypesArrivesWhole() {
        QFETCH(QString, database);
        const auto tables = loadFixtureTables();
        for (const char* name : {"AllTypes", "Ünïcode Täble"}) {
            const auto table = std::find_if(tables.begin(), tables.end(),
                                            [&](const FixtureTable& t) { return t.name == name; });
            QVERIFY(table != tables.end());
            const std::string output = std::string(name) + ".csv";
            const auto run = PressConvert(kFixtures + "/" + database.toStdString(), output,
                                          "[" + table->name + "]");
            QCOMPARE(run.boxes.size(), 1u);
            QVERIFY(IsSuccessBox(run.boxes[0]));
            // Accented text fills more bytes than its column has characters:
            // nothing may be cut.
            QCOMPARE(ReadBytes(output), ExpectedFileBytes(*table));
        }
    }

    void emptyTableCreatesNoFile() {
        const auto run = PressConvert(kFixtures + "/fixtures.mdb", "out.csv", "Empty");
        QCOMPARE(run.boxes.size(), 1u);
        QVERIFY(IsSuccessBox(run.boxes[0]));
        QVERIFY(!fs::exists("out.csv"));
    }

    void secondConvertAppendsAfterWhatTheFileHolds() {
        std::ofstream("out.csv", std::ios::binary) << "kept\x1a";
        PressConvert(kFixtures + "/fixtures.mdb", "out.csv", "OneCol");
        PressConvert(kFixtures + "/fixtures.mdb", "out.csv", "OneCol");
        const std::string table = "\"a\"\r\n\"\"\"\r\n\"\"\r\n\"\"\r\n";
        QCOMPARE(ReadBytes("out.csv"), "kept\x1a" + table + table);
    }

    void databaseErrorShowsDriverMessagesAndLeavesFileAlone_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("unknown table") << "fixtures.mdb" << "NoSuchTable" << "NoSuchTable";
        QTest::newRow("syntax error") << "fixtures.mdb" << "OneCol wher V = 1" << "near 'V'";
        QTest::newRow("missing database") << "missing.mdb" << "OneCol" << "missing.mdb";
        QTest::newRow("not an Access file") << "fixtures.json" << "OneCol" << "fixtures.json";
    }
    void databaseErrorShowsDriverMessagesAndLeavesFileAlone() {
        QFETCH(QString, input);
        QFETCH(QString, table);
        QFETCH(QString, mentions);
        std::ofstream("out.csv", std::ios::binary) << "before";
        const auto run = PressConvert(kFixtures + "/" + input.toStdString(), "out.csv",
                                      table.toStdString());
        QCOMPARE(run.boxes.size(), 1u);
        const auto& box = run.boxes[0];
        QCOMPARE(box.caption, std::string("kelvara_convert_tests"));
        QVERIFY2(box.text.starts_with("Database error: "), box.text.c_str());
        QVERIFY2(box.text.find(mentions.toStdString()) != std::string::npos, box.text.c_str());
        // The driver's tags are gone, and every message ends its own line.
        QVERIFY2(box.text.find("][") == std::string::npos, box.text.c_str());
        QVERIFY(box.text.ends_with("\n"));
        QCOMPARE(ReadBytes("out.csv"), std::string("before"));
    }

    void outputThatCannotBeWrittenIsReportedOnceAndStopsTheExport_data() {
        QTest::addColumn<QString>("output");
        QTest::newRow("missing folder") << "no/such/folder/out.csv";
        QTest::newRow("full device") << "/dev/full";
    }
    void outputThatCannotBeWrittenIsReportedOnceAndStopsTheExport() {
        QFETCH(QString, output);
        const auto run =
            PressConvert(kFixtures + "/fixtures.mdb", output.toStdString(), "People");
        QCOMPARE(run.boxes.size(), 1u);
        QVERIFY(IsWriteErrorBox(run.boxes[0]));
        QVERIFY(!fs::exists("no"));
    }

    void missingRequiredFieldStopsBeforeAnyWork_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("table");
        QTest::newRow("no output") << "db.mdb" << "" << "T";
        QTest::newRow("no input") << "" << "out.csv" << "T";
        QTest::newRow("no table") << "db.mdb" << "out.csv" << "";
    }
    void missingRequiredFieldStopsBeforeAnyWork() {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QString, table);
        const auto run =
            PressConvert(input.toStdString(), output.toStdString(), table.toStdString());
        QCOMPARE(run.boxes.size(), 1u);
        QCOMPARE(run.boxes[0].text, std::string("Please provide table name, input and output files"));
        QCOMPARE(run.boxes[0].caption, std::string("Error"));
        QVERIFY(!fs::exists("out.csv"));
    }

    void userNameAndPasswordReachTheDriver() {
        // The fixture has no database password: the driver accepts any.
        const auto run = PressConvert(kFixtures + "/fixtures.mdb", "out.csv", "OneCol", "Admin",
                                      "p;w}d%s");
        QCOMPARE(run.boxes.size(), 1u);
        QVERIFY(IsSuccessBox(run.boxes[0]));
    }

    void databasePathWithSemicolonOpens() {
        const fs::path copy = fs::current_path() / "a;b" / "fixtures.mdb";
        fs::create_directories(copy.parent_path());
        fs::copy_file(kFixtures + "/fixtures.mdb", copy);
        const auto run = PressConvert(copy.string(), "out.csv", "OneCol");
        QCOMPARE(run.boxes.size(), 1u);
        QVERIFY(IsSuccessBox(run.boxes[0]));
    }

private:
    CExportApp m_app; // the application object every dialog of the program runs under
    std::optional<QTemporaryDir> m_dir;
    fs::path m_oldDir;
};

QTEST_MAIN(ConvertTest)
#include "convert_test.moc"

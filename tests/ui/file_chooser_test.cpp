// The two Browse buttons with Qt's real file dialog, driven while it is open.

#include "modal_driver.hpp"
#include "platform/ui/file_dialog.hpp"
#include "platform/ui/resources.hpp"
#include "platform/ui/win_app.hpp"
#include "res/resource.hpp"
#include "ui/export_dlg.hpp"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace kelvara;
using namespace kelvara::test;

namespace {

constexpr int kBrowseInput = 1002;
constexpr int kBrowseOutput = 1003;

bool IsChooser(QWidget* modal) {
    return qobject_cast<QFileDialog*>(modal) != nullptr;
}

struct ChooserView {
    QStringList filterLabels;
    int selectedFilter = -1;
    QString nameBox;
    QString title;
    bool openKind = false;
};

ChooserView Inspect(QFileDialog* chooser) {
    ChooserView view;
    auto* combo = chooser->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    for (int i = 0; combo && i < combo->count(); ++i) {
        view.filterLabels << combo->itemText(i);
    }
    view.selectedFilter = combo ? combo->currentIndex() : -1;
    view.nameBox = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
    view.title = chooser->windowTitle();
    view.openKind = chooser->acceptMode() == QFileDialog::AcceptOpen;
    return view;
}

// Types a name into the chooser's name box and presses its Open button.
void TypeAndConfirm(QFileDialog* chooser, const QString& name) {
    chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
    chooser->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))
        ->button(QDialogButtonBox::Open)
        ->click();
}

// Records the text of any message box that appears and closes it, so a
// question the chooser should not ask shows up as a failure instead of a hang.
void RecordQuestions(QStringList& questions) {
    OnNextModal([](QWidget* modal) { return qobject_cast<QMessageBox*>(modal) != nullptr; },
                [&questions](QWidget* modal) {
                    questions << static_cast<QMessageBox*>(modal)->text();
                    static_cast<QMessageBox*>(modal)->reject();
                });
}

} // namespace

class FileChooserTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { AfxSetResourceModule(&res::Module()); }

    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        m_startDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_folder->path()));
        m_dialog = std::make_unique<CExportDlg>();
        m_app.m_pMainWnd = m_dialog.get();
    }

    void cleanup() {
        StopPendingPollers();
        m_app.m_pMainWnd = nullptr;
        m_dialog.reset();
        QDir::setCurrent(m_startDir);
        m_folder.reset();
    }

    void opensWithItsFiltersAndAnEmptyNameBox_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("input") << kBrowseInput
                               << QStringList{"Access Files (*.mdb)", "CSV Files (*.csv)",
                                              "All Files (*.*)"};
        QTest::newRow("output") << kBrowseOutput
                                << QStringList{"CSV Files (*.csv)", "Tab Delimited Files (*.tab)",
                                               "All Files (*.*)"};
    }

    void opensWithItsFiltersAndAnEmptyNameBox() {
        QFETCH(int, button);
        QFETCH(QStringList, labels);
        ChooserView view;
        bool modalOverMain = false;
        RunDialog(*m_dialog, [&] {
            m_dialog->m_strInputFile = "/data/shop.mdb";
            m_dialog->m_strOutputFile = "/data/out.csv";
            m_dialog->UpdateData(FALSE);
            OnNextModal(IsChooser, [&](QWidget* modal) {
                view = Inspect(static_cast<QFileDialog*>(modal));
                modalOverMain =
                    modal->parentWidget() == m_dialog->GetSafeWidget() && modal->isModal();
                static_cast<QFileDialog*>(modal)->reject();
            });
            Click(*m_dialog, button);
        });
        QCOMPARE(view.filterLabels, labels);
        QCOMPARE(view.selectedFilter, 0);
        QVERIFY(view.nameBox.isEmpty());
        QVERIFY(view.openKind);
        QVERIFY(modalOverMain);
    }

    // Every typed name here names a file that does not exist: the chooser
    // accepts it, with the default extension added when the name has none.
    void returnsTheFullPathWithTheDefaultExtension_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expectedName");
        QTest::newRow("input, no extension") << kBrowseInput << "data"
                                             << "data.mdb";
        QTest::newRow("input, own extension") << kBrowseInput << "shop.accdb"
                                              << "shop.accdb";
        QTest::newRow("output, no extension") << kBrowseOutput << "report"
                                              << "report.csv";
        QTest::newRow("output, tab file") << kBrowseOutput << "report.tab"
                                          << "report.tab";
    }

    void returnsTheFullPathWithTheDefaultExtension() {
        QFETCH(int, button);
        QFETCH(QString, typed);
        QFETCH(QString, expectedName);
        QStringList questions;
        RunDialog(*m_dialog, [&] {
            OnNextModal(IsChooser, [&](QWidget* modal) {
                static_cast<QFileDialog*>(modal)->setDirectory(m_folder->path());
                RecordQuestions(questions);
                TypeAndConfirm(static_cast<QFileDialog*>(modal), typed);
            });
            Click(*m_dialog, button);
        });
        const std::string expected = m_folder->filePath(expectedName).toStdString();
        const std::string& chosen =
            button == kBrowseInput ? m_dialog->m_strInputFile : m_dialog->m_strOutputFile;
        const std::string& other =
            button == kBrowseInput ? m_dialog->m_strOutputFile : m_dialog->m_strInputFile;
        QCOMPARE(chosen, expected);
        QVERIFY(other.empty());
        QVERIFY(questions.isEmpty());
        QVERIFY(!QFile::exists(QString::fromStdString(expected)));
    }

    void picksAnExistingOutputFileWithoutAsking() {
        const QString existing = m_folder->filePath("old.csv");
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\"1\"\r\n");
        file.close();
        QStringList questions;
        RunDialog(*m_dialog, [&] {
            OnNextModal(IsChooser, [&](QWidget* modal) {
                RecordQuestions(questions);
                TypeAndConfirm(static_cast<QFileDialog*>(modal), existing);
            });
            Click(*m_dialog, kBrowseOutput);
        });
        QCOMPARE(m_dialog->m_strOutputFile, existing.toStdString());
        QVERIFY2(questions.isEmpty(), qPrintable(questions.join('\n')));
        QCOMPARE(QFileInfo(existing).size(), 5);
    }

    // Browse takes nothing from the controls: afterwards all five show the
    // fields, whether a file was chosen or not.
    void refreshesAllFiveControlsFromTheFields_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("confirm");
        QTest::newRow("input, cancelled") << kBrowseInput << false;
        QTest::newRow("output, cancelled") << kBrowseOutput << false;
        QTest::newRow("input, confirmed") << kBrowseInput << true;
        QTest::newRow("output, confirmed") << kBrowseOutput << true;
    }

    void refreshesAllFiveControlsFromTheFields() {
        QFETCH(int, button);
        QFETCH(bool, confirm);
        const std::vector<std::string> fields{"in.mdb", "out.csv", "Orders", "pw", "ann"};
        const std::vector<std::string> typed{"typed.mdb", "typed.csv", "Typed", "typedpw", "bob"};
        const QString picked = m_folder->filePath("picked.mdb");
        std::vector<std::string> expected = fields;
        if (confirm) {
            expected[button == kBrowseInput ? 0 : 1] = picked.toStdString();
        }
        std::vector<std::string> controlsAfter;
        RunDialog(*m_dialog, [&] {
            SetFieldsThenType(*m_dialog, fields, typed);
            OnNextModal(IsChooser, [&](QWidget* modal) {
                auto* chooser = static_cast<QFileDialog*>(modal);
                if (confirm) {
                    TypeAndConfirm(chooser, picked);
                } else {
                    chooser->reject();
                }
            });
            Click(*m_dialog, button);
            controlsAfter = ControlTexts(*m_dialog);
        });
        QCOMPARE(FieldValues(*m_dialog), expected);
        QCOMPARE(controlsAfter, expected);
    }

    void putsTheWorkingDirectoryBack() {
        QTemporaryDir elsewhere;
        QVERIFY(elsewhere.isValid());
        const QString before = QDir::currentPath();
        QString duringChooser;
        RunDialog(*m_dialog, [&] {
            OnNextModal(IsChooser, [&](QWidget* modal) {
                auto* chooser = static_cast<QFileDialog*>(modal);
                // The user moves to another folder, and the process follows
                // it as some desktops' choosers make it do.
                chooser->setDirectory(elsewhere.path());
                QDir::setCurrent(elsewhere.path());
                duringChooser = QDir::currentPath();
                TypeAndConfirm(chooser, "moved");
            });
            Click(*m_dialog, kBrowseInput);
        });
        QCOMPARE(duringChooser, elsewhere.path());
        QCOMPARE(QDir::currentPath(), before);
        QCOMPARE(m_dialog->m_strInputFile,
                 QDir(elsewhere.path()).filePath("moved.mdb").toStdString());
        // db.ini is written where it was read.
        QVERIFY(QFile::exists(QDir(before).filePath("db.ini")));
        QVERIFY(!QFile::exists(QDir(elsewhere.path()).filePath("db.ini")));
    }

    void returnsPathsLongerThan260CharactersWhole() {
        QString deep = m_folder->path();
        while (deep.size() < 400) {
            deep += "/a_rather_long_folder_name_for_testing";
        }
        QVERIFY(QDir().mkpath(deep));
        const QString path = deep + "/database.mdb";
        RunDialog(*m_dialog, [&] {
            OnNextModal(IsChooser, [&](QWidget* modal) {
                TypeAndConfirm(static_cast<QFileDialog*>(modal), path);
            });
            Click(*m_dialog, kBrowseInput);
        });
        QCOMPARE(m_dialog->m_strInputFile, path.toStdString());
    }

    // The filter list format itself, including lists the program does not use.
    void parsesFilterLists() {
        const std::vector<FileFilter> filters =
            ParseFileFilters("Access Files (*.mdb)|*.mdb;*.accdb|All Files (*.*)|*.*||ignored|*");
        QCOMPARE(filters.size(), std::size_t{2});
        QCOMPARE(QtNameFilter(filters[0]), std::string("Access Files (*.mdb) (*.mdb *.accdb)"));
        QCOMPARE(QtNameFilter(filters[1]), std::string("All Files (*.*) (*)"));
        QVERIFY(ParseFileFilters("").empty());
    }

private:
    CWinApp m_app;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<CExportDlg> m_dialog;
    QString m_startDir;
};

QTEST_MAIN(FileChooserTest)
#include "file_chooser_test.moc"

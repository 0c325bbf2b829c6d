#include "tests/support/file_bytes.hpp"
#include "dialog_test_support.hpp"
#include "app/export_app.hpp"
#include "modal_driver.hpp"
#include "platform/ui/dialog_units.hpp"
#include "platform/ui/message_box.hpp"
#include "res/resource.hpp"
#include "ui/export_dlg.hpp"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace kelvara;
namespace fs = std::filesystem;
using kelvara::test::ReadBytes;
using kelvara::test::WriteBytes;
using kelvara::test::Button;
using kelvara::test::Edit;
using kelvara::test::RecordedBoxes;
using kelvara::test::RunModal;

namespace {

std::string IniWith(const std::string& output, const std::string& input, const std::string& table,
                    const std::string& user, const std::string& password) {
    return "CREATOR=DB 1.0\r\nOUTPUT=" + output + "\r\nINPUT=" + input + "\r\nTABLE=" + table +
           "\r\nUSERNAME=" + user + "\r\nPASSWORD=" + password + "\r\n\r\n";
}

// Picks an item of the popup menu that is about to open, by keyboard.
void ChooseFromNextPopup(QStringList* seenItems, int upPresses) {
    QTimer::singleShot(0, [seenItems, upPresses] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction* action : menu->actions()) {
            seenItems->append(action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        for (int i = 0; i < upPresses; ++i) {
            QTest::keyClick(menu, Qt::Key_Up);
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
}

class SysCommandRecorder : public CExportDlg {
public:
    void OnSysCommand(UINT nID, LPARAM lParam) override {
        commands.push_back(nID);
        CExportDlg::OnSysCommand(nID, lParam);
    }
    std::vector<UINT> commands;
};

// A dialog whose Convert button fails in a chosen way.
class FailingDlg : public CExportDlg {
public:
    std::function<void()> failure;

    void OnFailingConvert() { failure(); }
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;
};

const CCmdTarget::MessageMap FailingDlg::messageMap{
    &CExportDlg::messageMap, []() -> std::span<const MessageMapEntry> {
        static const MessageMapEntry entries[] = {
            {IDC_CONVERT, Cmd(&FailingDlg::OnFailingConvert)}};
        return entries;
    }()};

} // namespace

class ExportDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(m_dir.emplace().isValid());
        m_oldDir = fs::current_path();
        fs::current_path(m_dir->path().toStdString());
        m_app.m_helpFallbackPath.clear();
    }
    void cleanup() {
        fs::current_path(m_oldDir);
        m_dir.reset();
        AfxSetUrlOpener({});
        AfxSetSocketStartup({});
    }

    void startFocusesQuitAndCreatesEmptySettingsFile() {
        CExportDlg dlg;
        const int result = RunModal(dlg, [&] {
            QVERIFY(fs::exists("db.ini"));
            QCOMPARE(fs::file_size("db.ini"), 0u);
            QCOMPARE(QApplication::focusWidget(), dlg.GetDlgItem(IDOK));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        });
        QCOMPARE(result, IDOK);
        QCOMPARE(ReadBytes("db.ini"), IniWith("", "", "", "", ""));
    }

    void closingPaths_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("typedTextSaved");
        QTest::newRow("Quit clicked") << "quit-click" << IDOK << true;
        QTest::newRow("Enter in an edit") << "enter-in-edit" << IDOK << true;
        QTest::newRow("Enter on focused Quit") << "enter-on-quit" << IDOK << true;
        QTest::newRow("Esc in an edit") << "esc-in-edit" << IDCANCEL << false;
        QTest::newRow("close box") << "close-box" << IDCANCEL << false;
        QTest::newRow("Close in system menu") << "menu-close" << IDCANCEL << false;
    }
    void closingPaths() {
        QFETCH(QString, path);
        QFETCH(int, result);
        QFETCH(bool, typedTextSaved);
        WriteBytes("db.ini", IniWith("out.csv", "in.mdb", "Loaded", "u", "p"));
        CExportDlg dlg;
        QStringList menuItems;
        const int ended = RunModal(dlg, [&] {
            QLineEdit* table = Edit(dlg, IDC_TABLE_NAME);
            QCOMPARE(table->text(), QString("Loaded"));
            table->setFocus();
            QTest::keyClicks(table, "Typed");
            if (path == "quit-click") {
                QTest::mouseClick(Button(dlg, IDOK), Qt::LeftButton);
            } else if (path == "enter-in-edit") {
                QTest::keyClick(table, Qt::Key_Return);
            } else if (path == "enter-on-quit") {
                Button(dlg, IDOK)->setFocus();
                QTest::keyClick(Button(dlg, IDOK), Qt::Key_Enter);
            } else if (path == "esc-in-edit") {
                QTest::keyClick(table, Qt::Key_Escape);
            } else if (path == "close-box") {
                dlg.GetSafeWidget()->close();
            } else if (path == "menu-close") {
                ChooseFromNextPopup(&menuItems, 2); // up from nothing: About, then Close
                QTest::keyClick(table, Qt::Key_F10, Qt::ShiftModifier);
            }
        });
        QCOMPARE(ended, result);
        const std::string table = typedTextSaved ? "LoadedTyped" : "Loaded";
        QCOMPARE(ReadBytes("db.ini"), IniWith("out.csv", "in.mdb", table, "u", "p"));
    }

    void systemMenuGainsAboutItemRoutedToSysCommand() {
        SysCommandRecorder dlg;
        QStringList items;
        RunModal(dlg, [&] {
            ChooseFromNextPopup(&items, 1);
            // The About item opens the About box; close it again.
            test::OnNextModal([&dlg](QWidget* modal) { return modal != dlg.GetSafeWidget(); },
                              [](QWidget* aboutBox) { aboutBox->close(); });
            QTest::keyClick(dlg.GetDlgItem(IDOK), Qt::Key_Menu);
            QVERIFY(dlg.GetSafeWidget()->isVisible()); // About does not close the dialog
            QCOMPARE(dlg.commands, std::vector<UINT>{IDM_ABOUTBOX});
            dlg.commands.clear();
            QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                         dlg.GetSafeWidget()->mapToGlobal(QPoint(5, 5)));
            ChooseFromNextPopup(&items, 2);
            QApplication::sendEvent(dlg.GetSafeWidget(), &rightClick);
        });
        const QStringList expectedMenu = {"&Move", "&Close\tAlt+F4", "-", "&About Kelvara..."};
        QCOMPARE(items, expectedMenu + expectedMenu);
        QCOMPARE(dlg.commands, std::vector<UINT>{SC_CLOSE});
    }

    void fieldExchange() {
        WriteBytes("db.ini", IniWith("o", "i", "t", "user", "secret"));
        CExportDlg dlg;
        RunModal(dlg, [&] {
            QCOMPARE(Edit(dlg, IDC_PASSWORD)->text(), QString("secret"));
            QCOMPARE(Edit(dlg, IDC_PASSWORD)->echoMode(), QLineEdit::Normal);
            QCOMPARE(Edit(dlg, IDC_USER_NAME)->text(), QString("user"));

            // Writing leaves an unchanged control alone (its caret stays put)
            // and replaces what was typed into the others.
            Edit(dlg, IDC_INPUT_FILE)->setCursorPosition(0);
            Edit(dlg, IDC_TABLE_NAME)->setText("typed");
            dlg.m_strOutputFile = std::string(40000, 'x') + "/\xC3\xBC.csv";
            QVERIFY(dlg.UpdateData(FALSE));
            QCOMPARE(Edit(dlg, IDC_INPUT_FILE)->cursorPosition(), 0);
            QCOMPARE(Edit(dlg, IDC_TABLE_NAME)->text(), QString("t"));
            QCOMPARE(Edit(dlg, IDC_OUTPUT_FILE)->text().right(6), QString("/\u00FC.csv"));

            // Reading takes every control's complete text, in the locale's 8-bit form.
            Edit(dlg, IDC_TABLE_NAME)->setText(QString("Gr\u00FC\u00DFe"));
            dlg.m_strOutputFile.clear();
            QVERIFY(dlg.UpdateData(TRUE));
            QCOMPARE(dlg.m_strTableName, std::string("Gr\xC3\xBC\xC3\x9F"
                                                     "e"));
            QCOMPARE(dlg.m_strOutputFile.size(), 40000u + 7u);
            QCOMPARE(dlg.m_strInputFile, std::string("i"));
        });
    }

    void layoutFollowsTemplate() {
        CExportDlg dlg;
        std::vector<int> tabCycle;
        RunModal(dlg, [&] {
            QWidget* window = dlg.GetSafeWidget();
            const DialogTemplate* dialog = AfxFindDialogTemplate(IDD_EXPORT_DIALOG);
            QVERIFY(dialog);
            const DialogBaseUnits units = BaseUnitsOf(window->font());
            QCOMPARE(window->size(), MapDialogRect(units, 0, 0, 320, 81).size());
            QCOMPARE(window->minimumSize(), window->maximumSize());
            QCOMPARE(window->windowTitle(), QString("Tarnwick Kelvara - Corwell"));
            QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
            QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
            QVERIFY(!window->windowIcon().isNull());
            const QRect workArea = window->screen()->availableGeometry();
            // Centred in the work area, give or take the window frame's width.
            const QPoint offCentre = window->geometry().center() - workArea.center();
            QVERIFY2(offCentre.manhattanLength() <= 8, qPrintable(QString::number(offCentre.x())));

            const QList<QWidget*> children =
                window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
            QCOMPARE(children.size(), qsizetype(dialog->controls.size()));
            for (std::size_t i = 0; i < dialog->controls.size(); ++i) {
                const ControlTemplate& control = dialog->controls[i];
                QWidget* widget = children[static_cast<qsizetype>(i)];
                QCOMPARE(widget->geometry(),
                         MapDialogRect(units, control.x, control.y, control.cx, control.cy));
                if (control.kind == ControlClass::Static) {
                    QCOMPARE(widget->focusPolicy(), Qt::NoFocus);
                }
            }
            for (int step = 0; step < 11; ++step) {
                tabCycle.push_back(QApplication::focusWidget()->objectName().mid(7).toInt());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
        });
        const std::vector<int> expected = {
            IDOK,        IDC_INPUT_FILE, IDC_OUTPUT_FILE, IDC_BROWSE_INPUT, IDC_BROWSE_OUTPUT,
            IDC_CONVERT, IDC_TABLE_NAME, IDC_PASSWORD,    IDC_USER_NAME,    IDC_HELP_BUTTON,
            IDOK};
        QCOMPARE(tabCycle, expected);
    }

    void laterCommandsAreRoutedAndLeaveDialogOpen() {
        RecordedBoxes boxes;
        test::BrowserStandIn browser;
        CExportDlg dlg;
        RunModal(dlg, [&] {
            for (int id : {IDC_BROWSE_INPUT, IDC_BROWSE_OUTPUT, IDC_HELP_BUTTON}) {
                // A Browse button's file chooser is cancelled again.
                test::OnNextModal([&dlg](QWidget* modal) { return modal != dlg.GetSafeWidget(); },
                                  [](QWidget* chooser) { chooser->close(); });
                QTest::mouseClick(Button(dlg, id), Qt::LeftButton);
                QVERIFY(dlg.GetSafeWidget()->isVisible());
            }
        });
        QVERIFY(boxes.requests.empty());
        test::StopPendingPollers();
    }

    void failureInHandlerIsReportedAndDialogGoesOn_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("type");
        QTest::newRow("out of memory")
            << 0 << "Out of memory." << (MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
        QTest::newRow("failure with text") << 1 << "disk on fire" << MB_ICONSTOP;
        QTest::newRow("failure without text") << 2 << "Internal application error." << MB_ICONSTOP;
        QTest::newRow("not an exception") << 3 << "Internal application error." << MB_ICONSTOP;
    }
    void failureInHandlerIsReportedAndDialogGoesOn() {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(uint, type);
        RecordedBoxes boxes;
        FailingDlg dlg;
        dlg.failure = [kind] {
            switch (kind) {
            case 0:
                throw std::bad_alloc();
            case 1:
                throw std::runtime_error("disk on fire");
            case 2:
                throw std::runtime_error("");
            default:
                throw 42;
            }
        };
        m_app.m_pMainWnd = &dlg;
        RunModal(dlg, [&] {
            QTest::mouseClick(Button(dlg, IDC_CONVERT), Qt::LeftButton);
            QVERIFY(dlg.GetSafeWidget()->isVisible());
            QCOMPARE(boxes.requests.size(), 1u);
            QCOMPARE(boxes.requests[0].owner, dlg.GetSafeWidget());
            QTest::keyClick(Button(dlg, IDOK), Qt::Key_Space);
        });
        m_app.m_pMainWnd = nullptr;
        QCOMPARE(QString::fromStdString(boxes.requests.at(0).text), text);
        QCOMPARE(boxes.requests[0].type, type);
        QCOMPARE(boxes.requests[0].caption, AppNameFromPath(AfxGetModuleFileName()));
    }

    void applicationName_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("windows path") << "C:\\Tools\\Export.exe"
                                      << "Export";
        QTest::newRow("dot in folder") << "/opt/kelvara.d/kelvara"
                                       << "kelvara";
        QTest::newRow("two dots") << "/usr/bin/my.export.bin"
                                  << "my.export";
        QTest::newRow("drive only") << "D:Export.exe"
                                    << "Export";
        QTest::newRow("bare name") << "kelvara"
                                   << "kelvara";
    }
    void applicationName() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(QString::fromStdString(AppNameFromPath(path.toStdString())), name);
    }

    void realMessageBoxIsClosedThroughItsButton() {
        QString seenTitle;
        QString seenText;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        QCOMPARE(AfxMessageBox("Database error: "), IDOK);
        QCOMPARE(seenTitle.toStdString(), AppNameFromPath(AfxGetModuleFileName()));
        QCOMPARE(seenText, QString("Database error: "));
        QCOMPARE(seenIcon, QMessageBox::Warning);
    }

    void helpKey_data() {
        QTest::addColumn<bool>("manualExists");
        QTest::addColumn<bool>("viewerStarts");
        QTest::addColumn<bool>("opened");
        QTest::newRow("manual opened") << true << true << true;
        QTest::newRow("no manual") << false << true << false;
        QTest::newRow("no viewer") << true << false << false;
    }
    void helpKey() {
        QFETCH(bool, manualExists);
        QFETCH(bool, viewerStarts);
        QFETCH(bool, opened);
        const fs::path manual = fs::current_path() / "kelvara.html";
        if (manualExists) {
            WriteBytes(manual, "<html></html>");
        }
        m_app.m_helpFallbackPath = manual;
        std::vector<std::pair<QUrl, UINT>> requests;
        AfxSetUrlOpener([&](const QUrl& url, UINT context) {
            requests.emplace_back(url, context);
            return viewerStarts;
        });
        RecordedBoxes boxes;
        CExportDlg dlg;
        RunModal(dlg, [&] {
            QTest::keyClick(Edit(dlg, IDC_TABLE_NAME), Qt::Key_F1, Qt::ShiftModifier);
            QVERIFY(requests.empty() && boxes.requests.empty());
            QTest::keyClick(Edit(dlg, IDC_TABLE_NAME), Qt::Key_F1);
        });
        if (manualExists) {
            QCOMPARE(requests.size(), 1u);
            QUrl atMainDialog = QUrl::fromLocalFile(QString::fromStdString(manual.string()));
            atMainDialog.setFragment("main-dialog");
            QCOMPARE(requests[0].first, atMainDialog);
            QCOMPARE(requests[0].second, 0x20066u);
        }
        QCOMPARE(boxes.requests.size(), opened ? 0u : 1u);
        if (!opened) {
            QCOMPARE(boxes.requests[0].text, std::string("Failed to launch help."));
        }
    }

    void unwritableSettingsFileShowsSaveBoxAndKeepsOldContent() {
        RecordedBoxes boxes;
        const bool root = ::geteuid() == 0;
        if (root) {
            fs::create_directory("db.ini"); // permission bits do not stop root
        } else {
            WriteBytes("db.ini", "TABLE=old\r\n");
            fs::permissions("db.ini", fs::perms::owner_read);
        }
        CExportDlg dlg;
        RunModal(dlg, [&] {
            Edit(dlg, IDC_TABLE_NAME)->setText("new");
            QTest::mouseClick(Button(dlg, IDOK), Qt::LeftButton);
        });
        QCOMPARE(boxes.requests.size(), 1u);
        QCOMPARE(boxes.requests[0].text, std::string("Save to File"));
        QCOMPARE(boxes.requests[0].caption, std::string("Error Writing File"));
        QCOMPARE(boxes.requests[0].type, MB_OK);
        if (root) {
            QVERIFY(fs::is_directory("db.ini"));
        } else {
            QCOMPARE(ReadBytes("db.ini"), std::string("TABLE=old\r\n"));
        }
    }

    void appendRowWritesExactBytesOrReportsOncePerRow() {
        RecordedBoxes boxes;
        CExportDlg dlg;
        dlg.m_strOutputFile = "out.csv";
        WriteBytes("out.csv", "old\x1A");
        dlg.AppendRow("\"12\",\"Smith, J.\",\"\"\n");
        QCOMPARE(ReadBytes("out.csv"), std::string("old\x1A") +
                                           "\x22\x31\x32\x22\x2C\x22\x53\x6D\x69\x74\x68\x2C"
                                           "\x20\x4A\x2E\x22\x2C\x22\x22\x0D\x0A");
        dlg.m_strOutputFile = "missing/out.csv";
        dlg.AppendRow("\"a\"\n");
        dlg.AppendRow("\"b\"\n");
        QCOMPARE(boxes.requests.size(), 2u);
        QCOMPARE(boxes.requests[1].caption, std::string("Error Writing File"));
        QVERIFY(!fs::exists("missing"));
    }

    void iconOrigin_data() {
        QTest::addColumn<int>("client");
        QTest::addColumn<int>("origin");
        QTest::newRow("36") << 36 << 2;
        QTest::newRow("35") << 35 << 2;
        QTest::newRow("20") << 20 << -5;
        QTest::newRow("32") << 32 << 0;
    }
    void iconOrigin() {
        QFETCH(int, client);
        QFETCH(int, origin);
        QCOMPARE(IconOrigin(client, client, 32, 32), QPoint(origin, origin));
    }

    void programRunsFromStartToSavedSettings() {
        WriteBytes("db.ini", IniWith("o.csv", "i.mdb", "T", "", ""));
        QTimer::singleShot(0, [] {
            auto* dlg = dynamic_cast<CExportDlg*>(AfxGetApp()->m_pMainWnd);
            QVERIFY(dlg);
            QVERIFY(QTest::qWaitForWindowActive(dlg->GetSafeWidget()));
            QCOMPARE(dlg->m_strInputFile, std::string("i.mdb"));
            Edit(*dlg, IDC_USER_NAME)->setText("admin");
            QTest::keyClick(Edit(*dlg, IDC_USER_NAME), Qt::Key_Return);
        });
        QCOMPARE(m_app.InitInstance(), FALSE);
        QCOMPARE(ReadBytes("db.ini"), IniWith("o.csv", "i.mdb", "T", "admin", ""));
    }

    void failedSocketStartEndsBeforeTheDialog() {
        RecordedBoxes boxes;
        AfxSetSocketStartup([] { return false; });
        QCOMPARE(m_app.InitInstance(), FALSE);
        QCOMPARE(boxes.requests.size(), 1u);
        QCOMPARE(boxes.requests[0].text, std::string("Windows sockets initialization failed."));
        QCOMPARE(boxes.requests[0].owner, nullptr);
        QVERIFY(!fs::exists("db.ini"));
    }

private:
    CExportApp m_app;
    std::optional<QTemporaryDir> m_dir;
    fs::path m_oldDir;
};

QTEST_MAIN(ExportDialogTest)
#include "export_dlg_test.moc"

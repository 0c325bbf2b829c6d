// System commands of the main dialog (the About box and the default course)
// and the Help button, on the real dialogs.

#include "modal_driver.hpp"
#include "platform/ui/resources.hpp"
#include "platform/ui/win_app.hpp"
#include "res/resource.hpp"
#include "ui/export_dlg.hpp"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <memory>

using namespace kelvara;
using namespace kelvara::test;

namespace {

constexpr int kHelpButton = 1009;
constexpr int kBrowseInput = 1002;

// What an About box showed, read while it was open.
struct AboutView {
    int opened = 0;
    QString title;
    QStringList texts;
    bool hasIcon = false;
    bool hasOkButton = false;
    QPoint centreOffset;
};

enum class CloseBy { OkButton, EnterKey, EscapeKey, CloseBox };

void Close(QWidget* box, CloseBy how) {
    switch (how) {
    case CloseBy::OkButton:
        for (auto* button : box->findChildren<QPushButton*>()) {
            if (button->text() == "OK") {
                button->click();
            }
        }
        break;
    case CloseBy::EnterKey:
        QTest::keyClick(box, Qt::Key_Return);
        break;
    case CloseBy::EscapeKey:
        QTest::keyClick(box, Qt::Key_Escape);
        break;
    case CloseBy::CloseBox:
        box->close();
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(CloseBy)

class AboutHelpTest : public QObject {
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
        m_browser = std::make_unique<BrowserStandIn>();
    }

    void cleanup() {
        m_browser.reset();
        StopPendingPollers();
        m_app.m_pMainWnd = nullptr;
        m_dialog.reset();
        QDir::setCurrent(m_startDir);
        m_folder.reset();
    }

    void aboutCommandsOpenAFreshCentredBox_data() {
        QTest::addColumn<uint>("command");
        QTest::addColumn<CloseBy>("closeBy");
        QTest::newRow("0x0010, OK") << 0x0010u << CloseBy::OkButton;
        QTest::newRow("0x0011, Enter") << 0x0011u << CloseBy::EnterKey;
        QTest::newRow("0x0018, Esc") << 0x0018u << CloseBy::EscapeKey;
        QTest::newRow("0x001F, close box") << 0x001Fu << CloseBy::CloseBox;
    }

    void aboutCommandsOpenAFreshCentredBox() {
        QFETCH(uint, command);
        QFETCH(CloseBy, closeBy);
        AboutView view;
        std::vector<std::string> fieldsBefore;
        std::vector<std::string> fieldsAfter;
        bool onlyMainLeft = false;
        RunDialog(*m_dialog, [&] {
            SetFieldsThenType(*m_dialog, {"in", "out", "T", "p", "u"},
                              {"in", "out", "T", "p", "u"});
            // Away from the screen's centre, where a box centred on the screen
            // would land as well.
            m_dialog->GetSafeWidget()->move(15, 25);
            fieldsBefore = FieldValues(*m_dialog);
            for (int round = 0; round < 2; ++round) {
                OnNextModal([this](QWidget* modal) { return modal != m_dialog->GetSafeWidget(); },
                            [&](QWidget* box) {
                                ++view.opened;
                                view.title = box->windowTitle();
                                view.texts.clear();
                                for (auto* label : box->findChildren<QLabel*>()) {
                                    view.hasIcon = view.hasIcon || !label->pixmap().isNull();
                                    if (!label->text().isEmpty()) {
                                        view.texts << label->text();
                                    }
                                }
                                for (auto* button : box->findChildren<QPushButton*>()) {
                                    view.hasOkButton = view.hasOkButton || button->text() == "OK";
                                }
                                view.centreOffset = box->geometry().center() -
                                                    m_dialog->GetSafeWidget()->geometry().center();
                                Close(box, closeBy);
                            });
                m_dialog->RouteSysCommand(command, 0);
            }
            onlyMainLeft = QApplication::activeModalWidget() == m_dialog->GetSafeWidget();
            fieldsAfter = FieldValues(*m_dialog);
        });
        QCOMPARE(view.opened, 2); // each request builds and closes its own box
        QCOMPARE(view.title, QString("About Kelvara"));
        QVERIFY(view.texts.contains("Kelvara Version 1.0"));
        QCOMPARE(view.texts.size(), 3);
        QVERIFY(view.hasIcon);
        QVERIFY(view.hasOkButton);
        // Whole-pixel centring of odd sizes may land a pixel or two off.
        QVERIFY2(
            qAbs(view.centreOffset.x()) <= 2 && qAbs(view.centreOffset.y()) <= 2,
            qPrintable(
                QString("offset %1,%2").arg(view.centreOffset.x()).arg(view.centreOffset.y())));
        QVERIFY(onlyMainLeft);
        QCOMPARE(fieldsAfter, fieldsBefore);
    }

    // Commands outside 0x0010-0x001F never open the box; the platform's own
    // ones take their usual course.
    void otherCommandsTakeTheDefaultCourse_data() {
        QTest::addColumn<uint>("command");
        QTest::addColumn<bool>("endsDialog");
        QTest::addColumn<bool>("minimises");
        QTest::newRow("0x0000") << 0x0000u << false << false;
        QTest::newRow("0x000F") << 0x000Fu << false << false;
        QTest::newRow("0x0020") << 0x0020u << false << false;
        QTest::newRow("move") << 0xF010u << false << false;
        QTest::newRow("minimise") << 0xF020u << false << true;
        QTest::newRow("close") << 0xF060u << true << false;
    }

    void otherCommandsTakeTheDefaultCourse() {
        QFETCH(uint, command);
        QFETCH(bool, endsDialog);
        QFETCH(bool, minimises);
        QStringList opened;
        bool minimised = false;
        const int result = RunDialog(*m_dialog, [&] {
            OnNextModal([this](QWidget* modal) { return modal != m_dialog->GetSafeWidget(); },
                        [&](QWidget* box) {
                            opened << box->windowTitle();
                            box->close();
                        });
            m_dialog->RouteSysCommand(command, 0);
            QCoreApplication::processEvents();
            minimised = m_dialog->GetSafeWidget()->isMinimized();
        });
        QVERIFY2(opened.isEmpty(), qPrintable(opened.join(", ")));
        QCOMPARE(result == IDCANCEL, endsDialog);
        QCOMPARE(minimised, minimises);
    }

    void helpTakesTheTextsAndShowsThemAgain() {
        const std::vector<std::string> typed{"typed.mdb", "typed.csv", "Orders", "secret", "ann"};
        std::vector<std::string> controlsAfterHelp;
        std::vector<std::string> controlsAfterBrowse;
        QStringList modals;
        RunDialog(*m_dialog, [&] {
            SetFieldsThenType(*m_dialog, {"a", "b", "c", "d", "e"}, typed);
            OnNextModal([this](QWidget* modal) { return modal != m_dialog->GetSafeWidget(); },
                        [&](QWidget* box) {
                            modals << box->windowTitle();
                            box->close();
                        });
            Click(*m_dialog, kHelpButton);
            controlsAfterHelp = ControlTexts(*m_dialog);
            StopPendingPollers();
            // The fields now hold the typed texts, so a cancelled Browse no
            // longer reverts them.
            OnNextModal([](QWidget* modal) { return qobject_cast<QFileDialog*>(modal) != nullptr; },
                        [](QWidget* chooser) { static_cast<QFileDialog*>(chooser)->reject(); });
            Click(*m_dialog, kBrowseInput);
            controlsAfterBrowse = ControlTexts(*m_dialog);
        });
        QCOMPARE(FieldValues(*m_dialog), typed);
        QCOMPARE(controlsAfterHelp, typed);
        QCOMPARE(controlsAfterBrowse, typed);
        QCOMPARE(m_browser->opened, QList<QUrl>{QUrl(KELVARA_HELP_URL)});
        QVERIFY2(modals.isEmpty(), qPrintable(modals.join(", ")));
    }

private:
    CWinApp m_app;
    std::unique_ptr<BrowserStandIn> m_browser;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<CExportDlg> m_dialog;
    QString m_startDir;
};

QTEST_MAIN(AboutHelpTest)
#include "about_help_test.moc"

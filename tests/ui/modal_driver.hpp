#pragma once
// Drives modal windows from inside their own event loops: the code under test
// blocks in exec() while these helpers act on what it opened.

#include "ui/export_dlg.hpp"

#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace kelvara::test {

// Stands in for the browser while it exists: takes the web addresses that Qt
// would hand to the desktop, so that no browser starts during tests.
class BrowserStandIn : public QObject {
    Q_OBJECT
public:
    BrowserStandIn() { QDesktopServices::setUrlHandler("https", this, "openUrl"); }
    ~BrowserStandIn() override { QDesktopServices::unsetUrlHandler("https"); }

    QList<QUrl> opened;

public slots:
    void openUrl(const QUrl& url) { opened << url; }
};

// Pollers still waiting for their window; a test's cleanup stops them so none
// acts on a later test's windows.
inline std::vector<QTimer*>& PendingPollers() {
    static std::vector<QTimer*> pollers;
    return pollers;
}

inline void StopPendingPollers() {
    for (QTimer* poll : PendingPollers()) {
        poll->stop();
        poll->deleteLater();
    }
    PendingPollers().clear();
}

// Calls `act` once with the first modal window that `accepts`, as soon as the
// running code has opened it. Checked between events, so `act` runs inside the
// window's own modal loop.
inline void OnNextModal(std::function<bool(QWidget*)> accepts, std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    PendingPollers().push_back(poll);
    poll->setInterval(2);
    QObject::connect(poll, &QTimer::timeout,
                     [poll, accepts = std::move(accepts), act = std::move(act)] {
                         QWidget* modal = QApplication::activeModalWidget();
                         if (modal && modal->isVisible() && accepts(modal)) {
                             poll->stop();
                             std::erase(PendingPollers(), poll);
                             poll->deleteLater();
                             act(modal);
                         }
                     });
    poll->start();
}

// Runs the main dialog modally, calls `whileOpen` inside its loop and then
// closes it with `closeResult` unless `whileOpen` already ended it. Returns
// what DoModal returned.
inline int RunDialog(CExportDlg& dialog, const std::function<void()>& whileOpen,
                     int closeResult = 77) {
    QTimer::singleShot(0, [&] {
        whileOpen();
        if (dialog.GetSafeWidget() && dialog.GetSafeWidget()->isVisible()) {
            dialog.EndDialog(closeResult);
        }
    });
    return dialog.DoModal();
}

// The five edit controls, in exchange order.
inline const std::vector<int>& EditIds() {
    static const std::vector<int> ids{1000, 1001, 1005, 1007, 1008};
    return ids;
}

inline std::vector<std::string*> Fields(CExportDlg& dialog) {
    return {&dialog.m_strInputFile, &dialog.m_strOutputFile, &dialog.m_strTableName,
            &dialog.m_strPassword, &dialog.m_strUserName};
}

inline QLineEdit* Edit(const CExportDlg& dialog, int id) {
    return qobject_cast<QLineEdit*>(dialog.GetDlgItem(id));
}

inline std::vector<std::string> ControlTexts(const CExportDlg& dialog) {
    std::vector<std::string> texts;
    for (int id : EditIds()) {
        texts.push_back(Edit(dialog, id)->text().toStdString());
    }
    return texts;
}

inline std::vector<std::string> FieldValues(CExportDlg& dialog) {
    std::vector<std::string> values;
    for (const std::string* field : Fields(dialog)) {
        values.push_back(*field);
    }
    return values;
}

// Puts values into the fields and shows them, then types other texts into
// every control without exchanging them.
inline void SetFieldsThenType(CExportDlg& dialog, const std::vector<std::string>& fieldValues,
                              const std::vector<std::string>& typed) {
    std::vector<std::string*> fields = Fields(dialog);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        *fields[i] = fieldValues[i];
    }
    dialog.UpdateData(FALSE);
    for (std::size_t i = 0; i < typed.size(); ++i) {
        Edit(dialog, EditIds()[i])->setText(QString::fromStdString(typed[i]));
    }
}

inline void Click(const CExportDlg& dialog, int id) {
    qobject_cast<QPushButton*>(dialog.GetDlgItem(id))->click();
}

} // namespace kelvara::test

#pragma once
// Helpers for driving the real dialogs under the offscreen platform.

#include "platform/ui/dialog.hpp"
#include "platform/ui/message_box.hpp"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <vector>

namespace kelvara::test {

inline QLineEdit* Edit(CWnd& dialog, int id) {
    return qobject_cast<QLineEdit*>(dialog.GetDlgItem(id));
}
inline QPushButton* Button(CWnd& dialog, int id) {
    return qobject_cast<QPushButton*>(dialog.GetDlgItem(id));
}

// Runs `dialog` modally while `script` acts on it from inside its event loop.
// A script that stops early (a failed check) still ends the dialog.
inline int RunModal(CDialog& dialog, const std::function<void()>& script) {
    QTimer::singleShot(0, [&dialog, script] {
        QVERIFY(QTest::qWaitForWindowActive(dialog.GetSafeWidget()));
        script();
        if (dialog.GetSafeWidget() && dialog.GetSafeWidget()->isVisible()) {
            dialog.EndDialog(-2);
        }
    });
    return dialog.DoModal();
}

// Answers every message box with OK and keeps what it was asked to show.
class RecordedBoxes {
public:
    RecordedBoxes() {
        m_previous = AfxSetMessageBoxPresenter([this](const MessageBoxRequest& request) {
            requests.push_back(request);
            return IDOK;
        });
    }
    ~RecordedBoxes() { AfxSetMessageBoxPresenter(m_previous); }
    RecordedBoxes(const RecordedBoxes&) = delete;
    RecordedBoxes& operator=(const RecordedBoxes&) = delete;

    std::vector<MessageBoxRequest> requests;

private:
    MessageBoxPresenter m_previous;
};

} // namespace kelvara::test

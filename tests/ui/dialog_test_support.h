#pragma once

// Helpers shared by the settings dialog tests: widgets by name, a save function that counts its
// calls, activation of windows, and answering the error box.

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <optional>

#include "model/error.h"
#include "ui/filtered_line_edit.h"
#include "ui/settings_dialog.h"

namespace skedora::test {

template <typename T>
T* Child(QWidget& parent, const QString& name) {
    T* child = parent.findChild<T*>(name);
    if (child == nullptr) {
        qFatal("no widget %s", qPrintable(name));
    }
    return child;
}

template <typename T>
T* Child(QWidget& parent, const char* name) {
    return Child<T>(parent, QLatin1String(name));
}

/** Control n of a control array, named stem_n. */
template <typename T = QLineEdit>
T* Child(QWidget& parent, const char* stem, int n) {
    return Child<T>(parent, QStringLiteral("%1_%2").arg(QLatin1String(stem)).arg(n));
}

/** Stands for SaveSettings: counts its calls and answers with the result set beforehand. */
struct SaveSpy {
    int calls = 0;
    MaybeError result;

    SaveRules function() {
        return [this]() -> MaybeError {
            ++calls;
            return result;
        };
    }
};

/** Shows the window and waits until it is the active one. */
inline bool ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

/** The title and text of the next message box, which is then closed with OK. */
struct AnsweredBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool seen = false;
};

inline void AnswerNextMessageBox(AnsweredBox& answer, int triesLeft = 200) {
    QTimer::singleShot(10, [&answer, triesLeft]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            if (triesLeft > 0) {
                AnswerNextMessageBox(answer, triesLeft - 1);
            }
            return;
        }
        answer = {box->windowTitle(), box->text(), box->icon(), true};
        box->accept();
    });
}

/** Types the keys; each character is one key press, as QTest::keyClicks does. */
inline QString Typed(QLineEdit& box, const QString& start, const QString& keys) {
    box.setText(start);
    box.setCursorPosition(static_cast<int>(start.size()));
    QTest::keyClicks(&box, keys);
    return box.text();
}

/** True when Ctrl+C, Ctrl+V and Ctrl+X change neither the box's text nor the clipboard. */
inline bool ClipboardKeysSwallowed(QLineEdit& box) {
    box.setText(QStringLiteral("KABC"));
    box.selectAll();
    QApplication::clipboard()->setText(QStringLiteral("9"));
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    return box.text() == QStringLiteral("KABC") &&
           QApplication::clipboard()->text() == QStringLiteral("9");
}

/** Error result of a failed save, as the settings store gives it. */
inline Error SaveFailure() {
    return {75, "Path/File access error: cannot write /srv/skedora/SK.ini: Read-only file system",
            "Skedora"};
}

}  // namespace skedora::test

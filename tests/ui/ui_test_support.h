#pragma once

// What the window tests share: named widgets, message boxes answered, windows made active.

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <filesystem>
#include <vector>

namespace skedora::test {

template <typename T = QLineEdit>
T* Child(QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QLatin1String(name));
    if (child == nullptr) {
        qFatal("no %s", name);
    }
    return child;
}

/** Makes window the active one, as a click into it does. */
inline void Activate(QWidget& window) {
    window.activateWindow();
    // A window manager refuses an activation asked without a real click (focus stealing
    // prevention); the click it would have seen makes the window active, so say so.
    if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }, 500)) {
        // A focus event still under way may hand the activation back once.
        for (int i = 0; i < 10 && QApplication::activeWindow() != &window; ++i) {
            QApplication::setActiveWindow(&window);
            QTest::qWait(50);
        }
    }
}

/** While it lives, answers each message box with the next answer, then with OK. */
struct MessageBoxAnswerer {
    explicit MessageBoxAnswerer(std::vector<QMessageBox::StandardButton> answers = {})
        : answers(std::move(answers)) {
        QObject::connect(&poll, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || box == last) {
                return;
            }
            last = box;
            texts << box->text();
            titles << box->windowTitle();
            critical = critical || box->icon() == QMessageBox::Critical;
            const auto answer =
                next < this->answers.size() ? this->answers[next++] : QMessageBox::Ok;
            if (QAbstractButton* button = box->button(answer)) {
                button->click();
            }
        });
        poll.start(10);
    }

    std::vector<QMessageBox::StandardButton> answers;
    std::size_t next = 0;
    QPointer<QMessageBox> last;
    QStringList texts, titles;
    bool critical = false;
    QTimer poll;
};

/** Dates a file an hour back: past the quiet period, no longer taken for one being copied. */
inline void Age(const std::filesystem::path& file) {
    std::filesystem::last_write_time(
        file, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
}

}  // namespace skedora::test

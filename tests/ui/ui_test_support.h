#pragma once

#include <QAbstractButton>
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

inline void Activate(QWidget& window) {
    window.activateWindow();
    // A window manager may refuse an activation not asked by a click; say the click happened.
    if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }, 500)) {
        for (int i = 0; i < 10 && QApplication::activeWindow() != &window; ++i) {
            QApplication::setActiveWindow(&window);
            QTest::qWait(50);
        }
    }
}

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
            // A box not expected is sent away rather than left to stop the test.
            QAbstractButton* button = box->button(answer);
            if (button != nullptr || (button = box->escapeButton()) != nullptr) {
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

inline void Age(const std::filesystem::path& file) {
    std::filesystem::last_write_time(
        file, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
}

}  // namespace skedora::test

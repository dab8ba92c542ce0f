#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "support/temp_dir.h"
#include "ui/main_window.h"

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
    QStringList texts;
    bool critical = false;
    QTimer poll;
};

inline void Age(const std::filesystem::path& file) {
    std::filesystem::last_write_time(
        file, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
}

struct StubChooser : FileChooser {
    std::optional<ChosenFile> ChooseFile() override { return ++calls, next; }
    std::optional<ChosenFile> next;
    int calls = 0;
};

/** A main window on a fresh home folder, started once the home holds what the test needs. */
struct WindowFixture {
    void Start() {
        auto stub = std::make_unique<StubChooser>();
        chooser = stub.get();
        window = std::make_unique<MainWindow>(home.path(), std::move(stub));
        window->show();
        Activate(*window);
    }
    template <typename T = QLineEdit>
    T* Get(const char* name) {
        return Child<T>(*window, name);
    }
    QString StatusLine() { return Get<QLabel>("lblStatusLine")->text(); }
    QString WatchLine() { return Get<QLabel>("lblWatchLine")->text(); }

    TempDir home;
    StubChooser* chooser = nullptr;
    std::unique_ptr<MainWindow> window;
};

}  // namespace skedora::test

#pragma once

// Helpers shared by the window tests: a file chooser that answers without a dialog, schedule
// files, and lookups of the window's widgets by name.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <optional>
#include <string>

#include "model/platform.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"

namespace skedora::test {

/** Answers the Open command's dialog with the file set beforehand, or a cancel. */
class StubChooser : public FileChooser {
  public:
    std::optional<ChosenFile> ChooseFile(std::string_view filter) override {
        ++calls;
        lastFilter = std::string(filter);
        return next;
    }

    std::optional<ChosenFile> next;
    int calls = 0;
    std::string lastFilter;
};

inline ChosenFile Pick(const std::filesystem::path& path) {
    return ChosenFile{path.string(), path.filename().string()};
}

inline constexpr const char* kCsvHeader =
    "day,cur_date,week_day,on_time,off_time,pgm,mon_beg,mon_end,hidef,comments,toch,tochnm_hd,"
    "fch,fchnm_hd,co,systemname,U1,U2";

/** A CSV schedule line with the fields the status frames show; the others fixed. */
inline std::string CsvEvent(int day, const std::string& to, const std::string& from,
                            const std::string& co, const std::string& pgm) {
    return std::to_string(day) + ",03/05/2024,TUE,10:00,11:30:00," + pgm + ",,,,,12," + to + ",5," +
           from + "," + co + ",NORTH,,";
}

/** A CSV schedule of count events, each with call letters, CO and description. */
inline std::string LargeCsvSchedule(int count) {
    std::string text = std::string(kCsvHeader) + "\r\n";
    text.reserve(static_cast<std::size_t>(count) * 80);
    for (int i = 1; i <= count; ++i) {
        text +=
            CsvEvent(i % 7 + 1, "WABC-HD", "WXYZ", std::to_string(i % 50), "EVENING NEWS") + "\r\n";
    }
    return text;
}

inline QLabel* FindLabel(QWidget& window, const char* name) {
    auto* label = window.findChild<QLabel*>(QLatin1String(name));
    if (label == nullptr) {
        qFatal("no label %s", name);
    }
    return label;
}

inline QTimer* FindTimer(QWidget& window, const char* name) {
    auto* timer = window.findChild<QTimer*>(QLatin1String(name));
    if (timer == nullptr) {
        qFatal("no timer %s", name);
    }
    return timer;
}

inline QAction* FindAction(QWidget& window, const char* name) {
    auto* action = window.findChild<QAction*>(QLatin1String(name));
    if (action == nullptr) {
        qFatal("no action %s", name);
    }
    return action;
}

/** The value labels of both status frames, input side first. */
inline const char* const kValueLabels[] = {
    "lblRECNUM_1", "lblCO_1", "lblCLTO_1", "lblCLFROM_1", "lblDESC_1", "lblFILE_1",
    "lblRECNUM_2", "lblCO_2", "lblCLTO_2", "lblCLFROM_2", "lblDESC_2", "lblFILE_2"};

/**
 * Answers modal message boxes while it lives: records the first one and presses its OK button.
 * Create it just before the command that shows the box.
 */
class MessageBoxAnswerer : public QObject {
  public:
    MessageBoxAnswerer() {
        connect(&m_poll, &QTimer::timeout, this, &MessageBoxAnswerer::Answer);
        m_poll.start(10);
    }

    int count = 0;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;

  private:
    void Answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        if (++count == 1) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
        }
        box->button(QMessageBox::Ok)->click();
    }

    QTimer m_poll;
};

/** Lets the window become active, as a window manager does on a click. */
inline void ClickInto(QMainWindow& window) {
    QTest::mouseClick(window.centralWidget(), Qt::LeftButton);
    window.activateWindow();
}

}  // namespace skedora::test

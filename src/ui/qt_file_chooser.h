#pragma once

#include <optional>

#include "app/ports.h"

class QWidget;

namespace skedora {

/** The Open command's file dialog; tests answer it without a screen. */
class FileChooser {
  public:
    virtual ~FileChooser() = default;
    /** The picked schedule file; none when the user cancels. */
    virtual std::optional<ChosenFile> ChooseFile() = 0;
};

/** A QFileDialog over the window, offering .DBF and .CSV files in either letter case. */
class QtFileChooser : public FileChooser {
  public:
    explicit QtFileChooser(QWidget* parent) : m_parent(parent) {}

    std::optional<ChosenFile> ChooseFile() override;

  private:
    QWidget* m_parent;
};

}  // namespace skedora

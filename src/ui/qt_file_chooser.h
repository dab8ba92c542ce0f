#pragma once

#include <optional>
#include <string>

#include "app/ports.h"

class QWidget;

namespace skedora {

/** The Open command's file dialog; tests answer it without a screen. */
class FileChooser {
  public:
    virtual ~FileChooser() = default;
    /** The picked schedule file; none when the user cancels. */
    virtual std::optional<ChosenFile> ChooseFile() = 0;
    /** The folder (bytes) the next dialog opens in; empty for the default. */
    virtual void SetStartFolder(const std::string& /*folder*/) {}
};

/** A QFileDialog over the window, offering .DBF and .CSV files in either letter case. */
class QtFileChooser : public FileChooser {
  public:
    explicit QtFileChooser(QWidget* parent) : m_parent(parent) {}

    std::optional<ChosenFile> ChooseFile() override;
    void SetStartFolder(const std::string& folder) override { m_startFolder = folder; }

  private:
    QWidget* m_parent;
    std::string m_startFolder;
};

}  // namespace skedora

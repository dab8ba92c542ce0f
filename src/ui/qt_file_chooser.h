#pragma once

#include <QString>

#include "app/ports.h"

class QWidget;

namespace skedora {

/** The Open command's file dialog, a QFileDialog over the window. */
class QtFileChooser : public FileChooser {
  public:
    explicit QtFileChooser(QWidget* parent) : m_parent(parent) {}

    std::optional<ChosenFile> ChooseFile(std::string_view filter) override;

    /**
     * "Skedora (*.dbf;*.csv)|*.dbf;*.csv" as a Qt name filter: "Skedora (*.dbf *.csv *.DBF *.CSV)".
     * File names are case-sensitive here, so each pattern is offered in lower and upper case.
     */
    static QString QtNameFilter(std::string_view filter);

  private:
    QWidget* m_parent;
};

}  // namespace skedora

#pragma once

#include "app/ports.h"

class QWidget;

namespace skedora {

/** The error box: a modal QMessageBox with the critical icon and an OK button. */
class QtMessageBox : public MessageBox {
  public:
    explicit QtMessageBox(QWidget* parent) : m_parent(parent) {}

    void ShowError(std::string_view title, std::string_view text) override;

  private:
    QWidget* m_parent;
};

}  // namespace skedora

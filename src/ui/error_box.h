#pragma once

#include "model/error.h"

class QWidget;

namespace skedora {

/** The error box: title "Error.", the critical icon, an OK button, the error's box text. */
void ShowErrorBox(QWidget* parent, const Error& error);

}  // namespace skedora

#pragma once

#include <QIcon>
#include <QPixmap>

namespace skedora {

/** The program's logo, drawn at the given edge length in pixels. */
QPixmap ProgramLogo(int size);

/** The window icon: the logo at the usual icon sizes. */
QIcon ProgramIcon();

}  // namespace skedora

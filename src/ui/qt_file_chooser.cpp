#include "ui/qt_file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>

#include "ui/file_path_text.h"

namespace skedora {

std::optional<ChosenFile> QtFileChooser::ChooseFile() {
    // File names are case-sensitive here, so each pattern is offered in lower and upper case.
    const QString path = QFileDialog::getOpenFileName(
        m_parent, QStringLiteral("Open"), PathTextFromBytes(m_startFolder),
        QStringLiteral("Skedora (*.dbf *.csv *.DBF *.CSV)"));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return ChosenFile{PathBytesFromText(path), PathBytesFromText(QFileInfo(path).fileName())};
}

}  // namespace skedora

#include "ui/file_path_text.h"

#include <QByteArray>
#include <QFile>

namespace skedora {

QString PathTextFromBytes(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string PathBytesFromText(const QString& path) {
    const QByteArray encoded = QFile::encodeName(path);
    return std::string(encoded.constData(), static_cast<std::size_t>(encoded.size()));
}

}  // namespace skedora

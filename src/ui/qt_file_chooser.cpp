#include "ui/qt_file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "ui/byte_text.h"
#include "ui/file_path_text.h"

namespace skedora {

QString QtFileChooser::QtNameFilter(std::string_view filter) {
    const QString text = TextFromBytes(filter);
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    QString description = bar < 0 ? text : text.left(bar);
    const QString patternText = bar < 0 ? QString() : text.mid(bar + 1);

    // The description's own "(...)" is replaced by Qt's space-separated pattern list.
    const qsizetype paren = description.indexOf(QLatin1Char('('));
    if (paren >= 0) {
        description = description.left(paren);
    }
    description = description.trimmed();

    QStringList patterns;
    for (const QString& pattern : patternText.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        patterns << pattern.trimmed().toLower();
    }
    const QStringList lower = patterns;
    for (const QString& pattern : lower) {
        patterns << pattern.toUpper();
    }
    patterns.removeDuplicates();
    if (patterns.isEmpty()) {
        patterns << QStringLiteral("*");
    }
    return QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
}

std::optional<ChosenFile> QtFileChooser::ChooseFile(std::string_view filter) {
    const QString path = QFileDialog::getOpenFileName(m_parent, QStringLiteral("Open"), QString(),
                                                      QtNameFilter(filter));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return ChosenFile{PathBytesFromText(path), PathBytesFromText(QFileInfo(path).fileName())};
}

}  // namespace skedora

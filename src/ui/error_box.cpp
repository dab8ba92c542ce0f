#include "ui/error_box.h"

#include <QMessageBox>

#include "ui/byte_text.h"

namespace skedora {

void ShowErrorBox(QWidget* parent, const Error& error) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error."),
                    TextFromBytes(ErrorBoxText(error)), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("errorBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace skedora

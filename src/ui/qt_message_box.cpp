#include "ui/qt_message_box.h"

#include <QMessageBox>

#include "ui/byte_text.h"

namespace skedora {

void QtMessageBox::ShowError(std::string_view title, std::string_view text) {
    QMessageBox box(QMessageBox::Critical, TextFromBytes(title), TextFromBytes(text),
                    QMessageBox::Ok, m_parent);
    box.setObjectName(QStringLiteral("errorBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace skedora

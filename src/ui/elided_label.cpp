#include "ui/elided_label.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace skedora {

ElidedLabel::ElidedLabel(Qt::TextElideMode mode, QWidget* parent) : QLabel(parent), m_mode(mode) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

QRect ElidedLabel::TextArea() const {
    const int inset = margin() + std::max(indent(), 0);
    return contentsRect().adjusted(inset, margin(), -inset, -margin());
}

QString ElidedLabel::ShownText() const {
    // A line break would draw a second line in a one-line box: it shows as a blank.
    QString line = text();
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return fontMetrics().elidedText(line, m_mode, TextArea().width());
}

QSize ElidedLabel::minimumSizeHint() const {
    // As high as one line, as narrow as "…": the layout decides the width.
    const QSize hint = QLabel::minimumSizeHint();
    return {
        fontMetrics().horizontalAdvance(QStringLiteral("\u2026")) + 2 * margin() + 2 * frameWidth(),
        hint.height()};
}

bool ElidedLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (IsElided()) {
            QToolTip::showText(help->globalPos(), text(), this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QLabel::event(event);
}

void ElidedLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    drawFrame(&painter);
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    style()->drawItemText(&painter, TextArea(), static_cast<int>(align), palette(), isEnabled(),
                          ShownText(), foregroundRole());
}

}  // namespace skedora

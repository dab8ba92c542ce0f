#include "ui/program_logo.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace skedora {

QPixmap ProgramLogo(int size) {
    QPixmap logo(size, size);
    logo.fill(Qt::transparent);

    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal edge = size;

    // A dark blue tile with a schedule's rows and an arrow into a bright output row.
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0, 0, edge, edge), edge * 0.18, edge * 0.18);
    painter.fillPath(tile, QColor(0x1f, 0x3a, 0x68));

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xc9, 0xd6, 0xea));
    for (int row = 0; row < 3; ++row) {
        painter.drawRect(QRectF(edge * 0.16, edge * (0.2 + 0.14 * row), edge * 0.42, edge * 0.07));
    }
    painter.setBrush(QColor(0xf2, 0xa9, 0x00));
    painter.drawRect(QRectF(edge * 0.16, edge * 0.7, edge * 0.68, edge * 0.1));

    QPainterPath arrow;
    arrow.moveTo(edge * 0.66, edge * 0.22);
    arrow.lineTo(edge * 0.84, edge * 0.22);
    arrow.lineTo(edge * 0.84, edge * 0.5);
    arrow.lineTo(edge * 0.92, edge * 0.5);
    arrow.lineTo(edge * 0.78, edge * 0.64);
    arrow.lineTo(edge * 0.64, edge * 0.5);
    arrow.lineTo(edge * 0.72, edge * 0.5);
    arrow.lineTo(edge * 0.72, edge * 0.32);
    arrow.lineTo(edge * 0.66, edge * 0.32);
    arrow.closeSubpath();
    painter.fillPath(arrow, QColor(0xf2, 0xa9, 0x00));
    return logo;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(ProgramLogo(size));
    }
    return icon;
}

}  // namespace skedora

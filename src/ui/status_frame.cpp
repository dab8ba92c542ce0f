#include "ui/status_frame.h"

#include <QGridLayout>
#include <QLabel>

#include "ui/elided_label.h"

namespace skedora {

namespace {

QLabel* CaptionLabel(const QString& text, int number, int side, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label%1_%2").arg(number).arg(side));
    return label;
}

/**
 * A value label shows the record's text exactly, never as markup, and never resizes the window:
 * a longer text is shortened on screen with its whole text in a tooltip. A path keeps its
 * beginning and its file name and loses its middle.
 */
QLabel* ValueLabel(const char* name, int side, bool whiteBox, QWidget* parent) {
    auto* label = new ElidedLabel(whiteBox ? Qt::ElideRight : Qt::ElideMiddle, parent);
    label->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(side + 1));
    label->setMinimumWidth(60);
    if (whiteBox) {
        label->setAutoFillBackground(true);
        QPalette white = label->palette();
        white.setColor(QPalette::Window, Qt::white);
        white.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(white);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMargin(1);
    }
    label->setMinimumHeight(label->sizeHint().height());
    return label;
}

}  // namespace

StatusFrame::StatusFrame(int side, QWidget* parent)
    : QGroupBox(side == 0 ? QStringLiteral("Conversion Status (Input)")
                          : QStringLiteral("Conversion Status (Output)"),
                parent) {
    setObjectName(QStringLiteral("Frame1_%1").arg(side));

    m_recordNumber = ValueLabel("lblRECNUM", side, true, this);
    m_co = ValueLabel("lblCO", side, true, this);
    m_callLettersTo = ValueLabel("lblCLTO", side, true, this);
    m_callLettersFrom = ValueLabel("lblCLFROM", side, true, this);
    m_description = ValueLabel("lblDESC", side, true, this);
    m_file = ValueLabel("lblFILE", side, false, this);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(10);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->addWidget(CaptionLabel(QStringLiteral("Record Number"), 1, side, this), 0, 0);
    grid->addWidget(m_recordNumber, 0, 1);
    grid->addWidget(CaptionLabel(QStringLiteral("CO #"), 2, side, this), 0, 2);
    grid->addWidget(m_co, 0, 3);
    grid->addWidget(CaptionLabel(QStringLiteral("Call Letters (To)"), 3, side, this), 1, 0);
    grid->addWidget(m_callLettersTo, 1, 1);
    grid->addWidget(CaptionLabel(QStringLiteral("Call Letters (From)"), 4, side, this), 1, 2);
    grid->addWidget(m_callLettersFrom, 1, 3);
    grid->addWidget(CaptionLabel(QStringLiteral("Description"), 7, side, this), 2, 0);
    grid->addWidget(m_description, 2, 1, 1, 3);
    grid->addWidget(m_file, 3, 0, 1, 4);
    // The rows stay together at the top; extra height collects below them.
    grid->setRowStretch(4, 1);
}

}  // namespace skedora

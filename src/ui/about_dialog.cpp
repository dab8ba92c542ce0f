#include "ui/about_dialog.h"

#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/file_path_text.h"
#include "ui/program_logo.h"

namespace skedora {

namespace {

QLabel* PanelLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

}  // namespace

QString AboutDialog::VersionText() {
    return QStringLiteral("Version %1.%2").arg(SKEDORA_VERSION_MAJOR).arg(SKEDORA_VERSION_MINOR);
}

AboutDialog::AboutDialog(const std::string& homeFolder, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Label1"));
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(white);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);

    auto* image = new QLabel(panel);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(ProgramLogo(64));
    image->setAlignment(Qt::AlignHCenter);

    auto* name = PanelLabel(QStringLiteral("Label2_1"), QStringLiteral("Skedora Converter"), panel);
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.4);
    name->setFont(nameFont);

    auto* version = PanelLabel(QStringLiteral("lblVersion"), VersionText(), panel);
    auto* home =
        PanelLabel(QStringLiteral("lblHome"),
                   QStringLiteral("Settings folder: %1").arg(PathTextFromBytes(homeFolder)), panel);
    home->setWordWrap(true);
    home->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* contact = PanelLabel(
        QStringLiteral("Label2_3"),
        QStringLiteral("For product information, ask your Skedora system administrator."), panel);
    contact->setWordWrap(true);

    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(24, 18, 24, 18);
    panelLayout->setSpacing(8);
    panelLayout->addWidget(image);
    panelLayout->addWidget(name);
    panelLayout->addWidget(version);
    panelLayout->addWidget(home);
    panelLayout->addSpacing(6);
    panelLayout->addWidget(contact);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

bool AboutDialog::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) {
        close();
    }
    return QDialog::event(event);
}

}  // namespace skedora

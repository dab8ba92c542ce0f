#include "ui/help_window.h"

#include <QFile>
#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace skedora {

namespace {
const QString kGuideResource = QStringLiteral(":/help/user-guide.md");
}

QString HelpWindow::GuideText() {
    QFile guide(kGuideResource);
    if (!guide.open(QIODevice::ReadOnly)) {
        return QStringLiteral("# Skedora Converter\n\nThe user guide is missing from this build.");
    }
    return QString::fromUtf8(guide.readAll());
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Skedora Converter Help"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtGuide"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setMarkdown(GuideText());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);

    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    resize(640, 720);
}

}  // namespace skedora

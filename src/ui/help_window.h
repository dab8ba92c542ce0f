#pragma once

#include <QWidget>

class QTextBrowser;

namespace skedora {

/**
 * The user guide in a window of its own: what the program does, the rules and their order, the
 * watch folder and the files the program keeps. The guide is built into the program, so no
 * browser and no file beside the program are needed. Escape closes it; it deletes itself when
 * closed.
 */
class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    /** The guide's text as built into the program (Markdown). */
    static QString GuideText();

    QTextBrowser* Browser() const { return m_browser; }

  private:
    QTextBrowser* m_browser;
};

}  // namespace skedora

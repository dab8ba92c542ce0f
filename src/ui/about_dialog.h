#pragma once

#include <QDialog>

namespace skedora {

/**
 * frmAbout: the program's name, its version and a contact line on a white panel, with an
 * OK button. Modeless; it closes (and is destroyed) on OK or as soon as it stops being the
 * active window.
 */
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);

    /** "Version " + major + "." + minor. */
    static QString VersionText();

  protected:
    bool event(QEvent* event) override;
};

}  // namespace skedora

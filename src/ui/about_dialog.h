#pragma once

#include <QDialog>
#include <string>

namespace skedora {

/**
 * frmAbout: the program's name, its version, the settings folder and a contact line on a white
 * panel, with an OK button. Modeless; it closes (and is destroyed) on OK or as soon as it stops
 * being the active window.
 */
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    /** homeFolder: where SK.ini and FileList.txt lie, as the file system spells it. */
    explicit AboutDialog(const std::string& homeFolder, QWidget* parent = nullptr);

    /** "Version " + major + "." + minor. */
    static QString VersionText();

  protected:
    bool event(QEvent* event) override;
};

}  // namespace skedora

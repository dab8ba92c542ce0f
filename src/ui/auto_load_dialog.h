#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ui/settings_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace skedora {

/** Asks the user for a folder, starting at start; none when the user cancels. */
using ChooseFolder = std::function<std::optional<QString>(QWidget* parent, const QString& caption,
                                                          const QString& start)>;

/**
 * Why folder (bytes as the file system has them) cannot serve as a watch or output folder:
 * missing, not a folder, not readable or not writable by this program; none when it can.
 * An empty text names no folder and is reported as such.
 */
std::optional<QString> FolderProblem(std::string_view folder);

/**
 * "Skedora Auto Load Settings": the watch folder and which schedule files it picks up, whether
 * converted sources are deleted, the output folder and the date prefix of output names. Each
 * folder has a Browse... button, and a folder that cannot serve is flagged beside its box as
 * the user types; saving stays allowed (a network folder may be offline for a while).
 */
class AutoLoadDialog : public SettingsDialog {
    Q_OBJECT

  public:
    /** chooseFolder answers the Browse... buttons; without one they show a QFileDialog. */
    AutoLoadDialog(RuleSet& rules, SaveRules save, QWidget* parent = nullptr,
                   ChooseFolder chooseFolder = {});

  protected:
    void storeRules(RuleSet& target) const override;

  private:
    void browse(QLineEdit& box, const QString& caption);
    void checkFolder(const QLineEdit& box, const std::string& shown, QLabel& warning) const;

    ChooseFolder m_chooseFolder;
    // The folders as held, so that a folder left as shown keeps its exact bytes.
    std::string m_shownPath;
    std::string m_shownOutPath;
    QLineEdit* m_path = nullptr;
    QLineEdit* m_outPath = nullptr;
    QLabel* m_pathWarning = nullptr;
    QLabel* m_outPathWarning = nullptr;
    QCheckBox* m_dbf = nullptr;
    QCheckBox* m_csv = nullptr;
    QCheckBox* m_delete = nullptr;
    QCheckBox* m_prefix = nullptr;
};

}  // namespace skedora

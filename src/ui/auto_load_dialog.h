#pragma once

#include "ui/settings_dialog.h"

class QCheckBox;
class QLineEdit;

namespace skedora {

/**
 * "Skedora Auto Load Settings": the watch folder and which schedule files it picks up, whether
 * converted sources are deleted, the output folder and the date prefix of output names.
 */
class AutoLoadDialog : public SettingsDialog {
    Q_OBJECT

  public:
    AutoLoadDialog(RuleSet& rules, SaveRules save, QWidget* parent = nullptr);

  protected:
    void storeRules() override;

  private:
    QLineEdit* m_path = nullptr;
    QLineEdit* m_outPath = nullptr;
    QCheckBox* m_dbf = nullptr;
    QCheckBox* m_csv = nullptr;
    QCheckBox* m_delete = nullptr;
    QCheckBox* m_prefix = nullptr;
};

}  // namespace skedora

#pragma once

#include "ui/rule_tabs.h"
#include "ui/settings_dialog.h"

namespace skedora {

/** "Change Call Letter Settings": the 24 rules that give events new call letters. */
class ChangeCallLettersDialog : public SettingsDialog {
    Q_OBJECT

  public:
    ChangeCallLettersDialog(RuleSet& rules, SaveRules save, QWidget* parent = nullptr);

    /** Shows the entry's page and focuses its first box. */
    void ShowEntry(int entry);

  protected:
    void storeRules(RuleSet& target) const override;

  private:
    BoxColumn m_oldCallLetters;
    BoxColumn m_coNumbers;
    BoxColumn m_newCallLetters;
};

}  // namespace skedora

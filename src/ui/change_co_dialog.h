#pragma once

#include "engine/rule_trace.h"
#include "ui/rule_tabs.h"
#include "ui/settings_dialog.h"

namespace skedora {

/**
 * "Change CO# Settings": the 24 rules that change CO numbers by call letters and the 24 that
 * change them by program description.
 */
class ChangeCODialog : public SettingsDialog {
    Q_OBJECT

  public:
    ChangeCODialog(RuleSet& rules, SaveRules save, QWidget* parent = nullptr);

    /** Shows the page of the family's entry and focuses its first box (a switch: its box). */
    void ShowEntry(RuleFamily family, int entry);

  protected:
    void storeRules(RuleSet& target) const override;

  private:
    BoxColumn m_callLetters;
    BoxColumn m_oldCO;
    BoxColumn m_newCO;
    BoxColumn m_descriptions;
    BoxColumn m_descriptionOldCO;
    BoxColumn m_descriptionNewCO;
};

}  // namespace skedora

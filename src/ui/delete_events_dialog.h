#pragma once

#include "engine/rule_trace.h"
#include "ui/rule_tabs.h"
#include "ui/settings_dialog.h"

class QCheckBox;

namespace skedora {

/**
 * "Delete Event Settings": the 64 call-letter-and-CO delete rules, the first 24 source and
 * destination delete rules, and the four delete-all switches, of which at most one is checked.
 */
class DeleteEventsDialog : public SettingsDialog {
    Q_OBJECT

  public:
    DeleteEventsDialog(RuleSet& rules, SaveRules save, QWidget* parent = nullptr);

    /** Shows the page of the family's entry and focuses its first box (a switch: its box). */
    void ShowEntry(RuleFamily family, int entry);

  protected:
    void storeRules(RuleSet& target) const override;

  private:
    QCheckBox* addSwitch(const char* name, const QString& caption, const QString& toolTip);
    void fill();

    BoxColumn m_callLetters;
    BoxColumn m_coNumbers;
    BoxColumn m_sources;
    BoxColumn m_destinations;
    std::vector<QCheckBox*> m_switches;
    QCheckBox* m_digital = nullptr;
    QCheckBox* m_nonDigital = nullptr;
    QCheckBox* m_sd = nullptr;
    QCheckBox* m_hd = nullptr;
};

}  // namespace skedora

#pragma once

#include <QString>
#include <vector>

#include "ui/rule_tabs.h"
#include "ui/settings_dialog.h"

class QComboBox;
class QLineEdit;

namespace skedora {

/**
 * "Change Time": the eight rules that move the start or end of matching events. Each time box
 * takes only what the time-entry mask lets through; any other change to it (a paste from its
 * context menu, a drop, an undo) is undone at once.
 */
class ChangeTimeDialog : public SettingsDialog {
    Q_OBJECT

  public:
    ChangeTimeDialog(RuleSet& rules, SaveRules save, QWidget* parent = nullptr);

    /** Shows the entry's page and focuses its first box. */
    void ShowEntry(int entry);

  protected:
    void storeRules(RuleSet& target) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void typeTimeKey(QLineEdit& box, char32_t character);

    BoxColumn m_sources;
    BoxColumn m_destinations;
    BoxColumn m_coNumbers;
    BoxColumn m_descriptions;
    std::vector<QComboBox*> m_math;
    std::vector<QLineEdit*> m_times;
    /** The last accepted text of the time box being edited. */
    QString m_lastTimeText;
};

}  // namespace skedora

#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "model/error.h"
#include "model/rule_set.h"

class QBoxLayout;
class QLineEdit;
class QPushButton;

namespace skedora {

/** The bytes a text box shows, as the rules hold them. */
std::string BoxBytes(const QLineEdit& box);
/** The same without leading and trailing spaces. */
std::string TrimmedBoxBytes(const QLineEdit& box);

/** Writes the whole rule set to the settings file; an error when it could not. */
using SaveRules = std::function<MaybeError()>;

/**
 * What the five settings dialogs share: modeless, destroyed when closed. "Apply and Save"
 * stores the controls into the rule set, saves it and closes; when the save fails it reports
 * why and stays open with the edits. "Cancel", Escape, the close box, and another window of the
 * program becoming active close without storing.
 */
class SettingsDialog : public QDialog {
    Q_OBJECT

  protected:
    SettingsDialog(RuleSet& rules, SaveRules save, QWidget* parent);

    RuleSet& rules() { return m_rules; }

    /** Copies the controls into the rule set. */
    virtual void storeRules() = 0;

    /** The row of the apply and cancel buttons, named and captioned as given. */
    QBoxLayout* buttonRow(const char* applyName, const QString& applyCaption,
                          const char* cancelName);

    void changeEvent(QEvent* event) override;

  private:
    void applyAndSave();
    void closeIfAnotherWindowIsActive();

    RuleSet& m_rules;
    SaveRules m_save;
    bool m_wasActive = false;
    bool m_reportingFailure = false;
};

}  // namespace skedora

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
 * why and stays open with the edits. "Cancel" discards the edits and closes. Escape and the
 * close box close at once when nothing was edited, and otherwise ask whether to save, discard
 * or go back. When another window of the program becomes active the dialog closes if nothing
 * was edited and stays open with its edits otherwise.
 */
class SettingsDialog : public QDialog {
    Q_OBJECT

  public:
    /** Whether the controls would store something other than what they were filled with. */
    bool HasUnsavedEdits() const;

    /**
     * Asks, when there are unsaved edits, "Save changes to <caption>?" with Save, Discard and
     * Cancel. True when the dialog may go: nothing to save, discarded, or saved; false when the
     * user chose to go back or the save failed (the failure has been reported). The dialog stays
     * open either way; the caller closes it.
     */
    bool ConfirmClose();

    /** Closes without storing and without asking. */
    void Discard();

  protected:
    SettingsDialog(RuleSet& rules, SaveRules save, QWidget* parent);

    RuleSet& rules() { return m_rules; }

    /** Copies the controls into target (the rule set, or a copy of it). */
    virtual void storeRules(RuleSet& target) const = 0;

    /** Called at the end of a dialog's constructor: what the controls show now is unedited. */
    void rememberFilledRules();

    /** The row of the apply and cancel buttons, named and captioned as given. */
    QBoxLayout* buttonRow(const char* applyName, const QString& applyCaption,
                          const char* cancelName);

    void changeEvent(QEvent* event) override;
    /** Escape and the close box: asks first when there are unsaved edits. */
    void reject() override;

  private:
    RuleSet StoredRules() const;
    bool ApplyAndSave();
    void closeIfAnotherWindowIsActive();

    RuleSet& m_rules;
    SaveRules m_save;
    /** What the controls stored right after filling: the reference for unsaved edits. */
    RuleSet m_filled;
    bool m_wasActive = false;
    bool m_busy = false;  // a question or an error box of this dialog is open
};

}  // namespace skedora

#include "ui/change_co_dialog.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/byte_text.h"

namespace skedora {

namespace {
constexpr int kCallLetterRules = decltype(RuleSet::ChangeCOFromCallLetterRules)::kSize;
constexpr int kDescriptionRules = decltype(RuleSet::ChangeCOFromDescriptionRules)::kSize;
}  // namespace

ChangeCODialog::ChangeCODialog(RuleSet& rules, SaveRules save, QWidget* parent)
    : SettingsDialog(rules, std::move(save), parent),
      m_callLetters{"txtCL",
                    QStringLiteral("Call Letters"),
                    KeyFilter::CallLetters,
                    12,
                    QStringLiteral("Enter the call letters or enter \"ALL\" for all call letters."),
                    {}},
      m_oldCO{"txtCO", QStringLiteral("C.O. #"), KeyFilter::Digits, 8, {}, {}},
      m_newCO{"txtNEWCO", QStringLiteral("New C.O.#"), KeyFilter::Digits, 8, {}, {}},
      m_descriptions{"txtDes", QStringLiteral("Program Description"), KeyFilter::None, 25, {}, {}},
      m_descriptionOldCO{"txtDesCo", QStringLiteral("C.O. #"), KeyFilter::None, 8, {}, {}},
      m_descriptionNewCO{"txtDesNewCo", QStringLiteral("New C.O.#"), KeyFilter::None, 8, {}, {}} {
    setObjectName(QStringLiteral("frmCO"));
    setWindowTitle(QStringLiteral("Change CO# Settings"));

    const QString title = QStringLiteral("Change CO Numbers");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        RuleTabs("SSTab1", {title, title, title}, {&m_callLetters, &m_oldCO, &m_newCO}, this));
    layout->addWidget(RuleTabs("SSTab2", {title, title, title},
                               {&m_descriptions, &m_descriptionOldCO, &m_descriptionNewCO}, this));
    layout->addLayout(buttonRow("cmdOK", QStringLiteral("&Apply and Save"), "cmdCANCEL"));

    const RuleSet& held = this->rules();
    for (int n = 1; n <= kCallLetterRules; ++n) {
        const ChangeCOFromCallLetterRule& rule = held.ChangeCOFromCallLetterRules[n];
        m_callLetters.box(n)->showText(TextFromBytes(rule.CallLetter));
        m_oldCO.box(n)->showText(TextFromBytes(rule.OldCO));
        m_newCO.box(n)->showText(TextFromBytes(rule.NewCO));
    }
    for (int n = 1; n <= kDescriptionRules; ++n) {
        const ChangeCOFromDescriptionRule& rule = held.ChangeCOFromDescriptionRules[n];
        m_descriptions.box(n)->showText(TextFromBytes(rule.ProgramDescription));
        m_descriptionOldCO.box(n)->showText(TextFromBytes(rule.OldCO));
        m_descriptionNewCO.box(n)->showText(TextFromBytes(rule.NewCO));
    }
    rememberFilledRules();
}

void ChangeCODialog::ShowEntry(RuleFamily family, int entry) {
    if (family == RuleFamily::ChangeCOFromCallLetter) {
        ShowRuleBox(m_callLetters.BoxOrNone(entry));
    } else if (family == RuleFamily::ChangeCOFromDescription) {
        ShowRuleBox(m_descriptions.BoxOrNone(entry));
    }
}

void ChangeCODialog::storeRules(RuleSet& target) const {
    for (int n = 1; n <= kCallLetterRules; ++n) {
        ChangeCOFromCallLetterRule& rule = target.ChangeCOFromCallLetterRules[n];
        rule.CallLetter = TrimmedBoxBytes(*m_callLetters.box(n));
        rule.OldCO = TrimmedBoxBytes(*m_oldCO.box(n));
        rule.NewCO = TrimmedBoxBytes(*m_newCO.box(n));
    }
    for (int n = 1; n <= kDescriptionRules; ++n) {
        ChangeCOFromDescriptionRule& rule = target.ChangeCOFromDescriptionRules[n];
        rule.ProgramDescription = TrimmedBoxBytes(*m_descriptions.box(n));
        rule.OldCO = TrimmedBoxBytes(*m_descriptionOldCO.box(n));
        rule.NewCO = TrimmedBoxBytes(*m_descriptionNewCO.box(n));
    }
}

}  // namespace skedora

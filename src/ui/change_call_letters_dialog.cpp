#include "ui/change_call_letters_dialog.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/byte_text.h"

namespace skedora {

namespace {
constexpr int kRules = decltype(RuleSet::ChangeCallLetterRules)::kSize;
}

ChangeCallLettersDialog::ChangeCallLettersDialog(RuleSet& rules, SaveRules save, QWidget* parent)
    : SettingsDialog(rules, std::move(save), parent),
      m_oldCallLetters{"txtCL", QStringLiteral("Call Letters"), KeyFilter::CallLetters, 12, {}, {}},
      m_coNumbers{"txtCO", QStringLiteral("C.O. #"), KeyFilter::Digits, 8, {}, {}},
      m_newCallLetters{
          "txtNEWCL", QStringLiteral("New Call Letters"), KeyFilter::CallLetters, 8, {}, {}} {
    setObjectName(QStringLiteral("frmCall"));
    setWindowTitle(QStringLiteral("Change Call Letter Settings"));

    const QString title = QStringLiteral("Change Call Letters");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RuleTabs("SSTab1", {title, title, title},
                               {&m_oldCallLetters, &m_coNumbers, &m_newCallLetters}, this));
    layout->addLayout(buttonRow("cmdOK", QStringLiteral("&Apply and Save"), "cmdCANCEL"));

    for (int n = 1; n <= kRules; ++n) {
        const ChangeCallLetterRule& rule = this->rules().ChangeCallLetterRules[n];
        m_oldCallLetters.box(n)->showText(TextFromBytes(rule.OldCallLetter));
        m_coNumbers.box(n)->showText(TextFromBytes(rule.CO));
        m_newCallLetters.box(n)->showText(TextFromBytes(rule.NewCallLetter));
    }
    rememberFilledRules();
}

void ChangeCallLettersDialog::ShowEntry(int entry) {
    ShowRuleBox(m_oldCallLetters.BoxOrNone(entry));
}

void ChangeCallLettersDialog::storeRules(RuleSet& target) const {
    for (int n = 1; n <= kRules; ++n) {
        ChangeCallLetterRule& rule = target.ChangeCallLetterRules[n];
        rule.OldCallLetter = TrimmedBoxBytes(*m_oldCallLetters.box(n));
        rule.CO = TrimmedBoxBytes(*m_coNumbers.box(n));
        rule.NewCallLetter = TrimmedBoxBytes(*m_newCallLetters.box(n));
    }
}

}  // namespace skedora

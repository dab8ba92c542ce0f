#include "ui/delete_events_dialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QTabWidget>

#include "ui/byte_text.h"

namespace skedora {

namespace {
constexpr int kCallLetterRules = decltype(RuleSet::DeleteCallLetterRules)::kSize;
}

DeleteEventsDialog::DeleteEventsDialog(RuleSet& rules, SaveRules save, QWidget* parent)
    : SettingsDialog(rules, std::move(save), parent),
      m_callLetters{"txtCL", QStringLiteral("Call Letters"), KeyFilter::CallLetters, 12, {}, {}},
      m_coNumbers{"txtCO",
                  QStringLiteral("C.O. #"),
                  KeyFilter::Digits,
                  8,
                  QStringLiteral("Enter the CO# or enter 9999 for all CO#s."),
                  {}},
      m_sources{"txtSRC",
                QStringLiteral("Source"),
                KeyFilter::CallLetters,
                12,
                QStringLiteral("Enter the source call letters or enter \"ALL\" for all sources."),
                {}},
      m_destinations{
          "txtDES",
          QStringLiteral("Destination"),
          KeyFilter::CallLetters,
          12,
          QStringLiteral(
              "Enter the destination call letters or enter \"ALL\" for all destinations."),
          {}} {
    setObjectName(QStringLiteral("frmDelete"));
    setWindowTitle(QStringLiteral("Delete Event Settings"));

    const QString matching = QStringLiteral("Delete Events That Match Criteria Below");
    QStringList callLetterTitles;
    for (int page = 0; page < kCallLetterRules / 8; ++page) {
        callLetterTitles << matching;
    }
    const QString byCallLetters =
        QStringLiteral("Delete Events That Match Criteria Below (Use Call Letters)");
    auto* callLetterTabs =
        RuleTabs("SSTab1", callLetterTitles, {&m_callLetters, &m_coNumbers}, this);
    auto* sourceTabs = RuleTabs("SSTab2", {byCallLetters, byCallLetters, matching},
                                {&m_sources, &m_destinations}, this);

    auto* frame = new QGroupBox(QStringLiteral("Other Delete Options"), this);
    frame->setObjectName(QStringLiteral("frameDelete"));
    auto* switches = new QGridLayout(frame);
    m_digital = addSwitch("chkDigital", QStringLiteral("Delete All &Digital"),
                          QStringLiteral("Delete all events with call letters starting with D."));
    m_nonDigital =
        addSwitch("chkNonDigital", QStringLiteral("Delete All &Non-Digital"),
                  QStringLiteral("Delete all events with call letters not starting with D."));
    m_sd = addSwitch("chkSD", QStringLiteral("Delete All &SD"),
                     QStringLiteral("Delete all events with call letters not ending with -HD."));
    m_hd = addSwitch("chkHD", QStringLiteral("Delete All &HD"),
                     QStringLiteral("Delete all events with call letters ending with -HD."));
    switches->addWidget(m_digital, 0, 0);
    switches->addWidget(m_nonDigital, 0, 1);
    switches->addWidget(m_sd, 1, 0);
    switches->addWidget(m_hd, 1, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(sourceTabs);
    right->addWidget(frame);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(callLetterTabs, 0, Qt::AlignTop);
    top->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttonRow("cmdOK", QStringLiteral("&Apply and Save"), "cmdCANCEL"));

    fill();
    rememberFilledRules();
}

QCheckBox* DeleteEventsDialog::addSwitch(const char* name, const QString& caption,
                                         const QString& toolTip) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(toolTip);
    // At most one switch is on: checking one clears the others, also while filling.
    connect(box, &QCheckBox::toggled, this, [this, box](bool checked) {
        if (!checked) {
            return;
        }
        for (QCheckBox* other : m_switches) {
            if (other != box) {
                other->setChecked(false);
            }
        }
    });
    m_switches.push_back(box);
    return box;
}

void DeleteEventsDialog::fill() {
    const RuleSet& held = rules();
    for (int n = 1; n <= kCallLetterRules; ++n) {
        m_callLetters.box(n)->showText(TextFromBytes(held.DeleteCallLetterRules[n].CallLetter));
        m_coNumbers.box(n)->showText(TextFromBytes(held.DeleteCallLetterRules[n].CONumber));
    }
    for (int n = 1; n <= kAppliedSourceDestinationRules; ++n) {
        m_sources.box(n)->showText(TextFromBytes(held.DeleteSourceDestinationRules[n].Source));
        m_destinations.box(n)->showText(
            TextFromBytes(held.DeleteSourceDestinationRules[n].Destination));
    }
    m_hd->setChecked(held.DeleteAllFlags.AllHD);
    m_sd->setChecked(held.DeleteAllFlags.AllSD);
    m_digital->setChecked(held.DeleteAllFlags.AllDigital);
    m_nonDigital->setChecked(held.DeleteAllFlags.AllNonDigital);
}

void DeleteEventsDialog::ShowEntry(RuleFamily family, int entry) {
    switch (family) {
        case RuleFamily::DeleteCallLetter:
            ShowRuleBox(m_callLetters.BoxOrNone(entry));
            break;
        case RuleFamily::DeleteSource:
            ShowRuleBox(m_sources.BoxOrNone(entry));
            break;
        case RuleFamily::DeleteAllHD:
            ShowRuleBox(m_hd);
            break;
        case RuleFamily::DeleteAllSD:
            ShowRuleBox(m_sd);
            break;
        case RuleFamily::DeleteAllDigital:
            ShowRuleBox(m_digital);
            break;
        case RuleFamily::DeleteAllNonDigital:
            ShowRuleBox(m_nonDigital);
            break;
        default:
            break;
    }
}

void DeleteEventsDialog::storeRules(RuleSet& target) const {
    for (int n = 1; n <= kCallLetterRules; ++n) {
        target.DeleteCallLetterRules[n].CallLetter = TrimmedBoxBytes(*m_callLetters.box(n));
        target.DeleteCallLetterRules[n].CONumber = TrimmedBoxBytes(*m_coNumbers.box(n));
    }
    for (int n = 1; n <= kAppliedSourceDestinationRules; ++n) {
        target.DeleteSourceDestinationRules[n].Source = TrimmedBoxBytes(*m_sources.box(n));
        target.DeleteSourceDestinationRules[n].Destination =
            TrimmedBoxBytes(*m_destinations.box(n));
    }
    target.DeleteAllFlags.AllHD = m_hd->isChecked();
    target.DeleteAllFlags.AllSD = m_sd->isChecked();
    target.DeleteAllFlags.AllDigital = m_digital->isChecked();
    target.DeleteAllFlags.AllNonDigital = m_nonDigital->isChecked();
}

}  // namespace skedora

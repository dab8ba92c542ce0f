#include "ui/change_time_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "model/text.h"
#include "ui/byte_text.h"
#include "ui/time_entry_mask.h"

namespace skedora {

namespace {
constexpr int kRules = decltype(RuleSet::ChangeTimeRules)::kSize;
constexpr int kTimeLength = 8;

QString ControlName(const char* stem, int n) {
    return QStringLiteral("%1_%2").arg(QLatin1String(stem)).arg(n);
}

FilteredLineEdit* RuleBox(BoxColumn& column, int n, QWidget* parent) {
    auto* box = new FilteredLineEdit(column.filter, column.limit, parent);
    box->setObjectName(ControlName(column.stem, n));
    box->setMinimumWidth(TextWidth(*box, column.limit + 2));
    column.boxes.push_back(box);
    return box;
}
}  // namespace

ChangeTimeDialog::ChangeTimeDialog(RuleSet& rules, SaveRules save, QWidget* parent)
    : SettingsDialog(rules, std::move(save), parent),
      m_sources{"txtSrc", QStringLiteral("Source"), KeyFilter::None, 12, {}, {}},
      m_destinations{"txtDes", QStringLiteral("Destination"), KeyFilter::None, 12, {}, {}},
      m_coNumbers{"txtCO", QStringLiteral("C.O. #"), KeyFilter::None, 8, {}, {}},
      m_descriptions{
          "txtDescription", QStringLiteral("Program Description"), KeyFilter::None, 25, {}, {}} {
    setObjectName(QStringLiteral("frmSetChangeTime"));
    setWindowTitle(QStringLiteral("Change Time"));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);
    int column = 0;
    for (const BoxColumn* heading : {&m_sources, &m_destinations, &m_coNumbers, &m_descriptions}) {
        grid->addWidget(PlainLabel(heading->heading, frame), 0, column);
        column += 2;
    }
    grid->addWidget(PlainLabel(QStringLiteral("Apply Math"), frame), 0, column, 1, 2);

    // Created row by row, left to right: that is also the tab order.
    for (int n = 1; n <= kRules; ++n) {
        column = 0;
        for (BoxColumn* boxes : {&m_sources, &m_destinations, &m_coNumbers, &m_descriptions}) {
            if (column > 0) {
                grid->addWidget(PlainLabel(QStringLiteral("+"), frame), n, column++);
            }
            grid->addWidget(RuleBox(*boxes, n, frame), n, column++);
        }
        grid->addWidget(PlainLabel(QStringLiteral("= "), frame), n, column++);

        auto* math = new QComboBox(frame);
        math->setObjectName(ControlName("cmbMath", n));
        math->addItems({QStringLiteral("Add To Start"), QStringLiteral("Subtract From Start"),
                        QStringLiteral("Add To End"), QStringLiteral("Subtract From End")});
        grid->addWidget(math, n, column++);
        m_math.push_back(math);

        auto* time = new QLineEdit(QStringLiteral("00:00:00"), frame);
        time->setObjectName(ControlName("txtTime", n));
        time->setMaxLength(kTimeLength);
        time->setMinimumWidth(TextWidth(*time, kTimeLength + 3));
        time->setAttribute(Qt::WA_InputMethodEnabled, false);
        time->installEventFilter(this);
        connect(time, &QLineEdit::textChanged, this, [this, time](const QString& text) {
            if (text != m_lastTimeText) {
                time->setText(m_lastTimeText);
            }
        });
        grid->addWidget(time, n, column++);
        m_times.push_back(time);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttonRow("cmdOK", QStringLiteral("&Apply and Save"), "cmdCANCEL"));

    for (int n = 1; n <= kRules; ++n) {
        const ChangeTimeRule& rule = this->rules().ChangeTimeRules[n];
        m_sources.box(n)->showText(TextFromBytes(rule.Source));
        m_destinations.box(n)->showText(TextFromBytes(rule.Destination));
        m_coNumbers.box(n)->showText(TextFromBytes(rule.CO));
        m_descriptions.box(n)->showText(TextFromBytes(rule.Description));
        // A choice the list does not have (only from an edited settings file) shows as none.
        QComboBox* math = m_math[static_cast<std::size_t>(n - 1)];
        math->setCurrentIndex(rule.Math >= 0 && rule.Math < math->count() ? rule.Math : -1);
        QLineEdit* time = m_times[static_cast<std::size_t>(n - 1)];
        m_lastTimeText = TextFromBytes(TrimSpaces(rule.Time));
        time->setMaxLength(std::max(kTimeLength, static_cast<int>(m_lastTimeText.size())));
        time->setText(m_lastTimeText);
    }
    rememberFilledRules();
}

void ChangeTimeDialog::ShowEntry(int entry) {
    ShowRuleBox(m_sources.BoxOrNone(entry));
}

void ChangeTimeDialog::storeRules(RuleSet& target) const {
    for (int n = 1; n <= kRules; ++n) {
        ChangeTimeRule& rule = target.ChangeTimeRules[n];
        rule.Source = BoxBytes(*m_sources.box(n));
        rule.Destination = BoxBytes(*m_destinations.box(n));
        rule.CO = BoxBytes(*m_coNumbers.box(n));
        rule.Description = BoxBytes(*m_descriptions.box(n));
        rule.Math =
            static_cast<std::int16_t>(m_math[static_cast<std::size_t>(n - 1)]->currentIndex());
        rule.Time = BoxBytes(*m_times[static_cast<std::size_t>(n - 1)]);
    }
}

bool ChangeTimeDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box == nullptr || std::find(m_times.begin(), m_times.end(), box) == m_times.end()) {
        return SettingsDialog::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusIn) {
        m_lastTimeText = box->text();
    } else if (event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (key.key() == Qt::Key_Delete) {
            return true;
        }
        if (IsDialogKey(key) || key.matches(QKeySequence::SelectAll)) {
            return false;
        }
        if (const std::optional<char16_t> typed = TypedCharacter(key)) {
            typeTimeKey(*box, *typed);
            return true;
        }
    }
    return SettingsDialog::eventFilter(watched, event);
}

void ChangeTimeDialog::typeTimeKey(QLineEdit& box, char32_t character) {
    const int caret = box.hasSelectedText() ? box.selectionStart() : box.cursorPosition();
    const int selection = box.hasSelectedText() ? box.selectionLength() : 0;
    const TimeKeyResult result =
        ApplyTimeKey(BytesFromText(box.text()), character, caret, selection);
    // Set first, so that the text-changed handler lets this change stand.
    m_lastTimeText = TextFromBytes(result.text);
    box.setText(m_lastTimeText);
    box.setCursorPosition(result.caret);
}

}  // namespace skedora

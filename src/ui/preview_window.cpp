#include "ui/preview_window.h"

#include <QBrush>
#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "app/ignored_lines.h"
#include "ui/byte_text.h"

namespace skedora {

namespace {
constexpr int kFamilyRole = Qt::UserRole;
constexpr int kEntryRole = Qt::UserRole + 1;

const char* const kHeaders[AuditTableModel::kColumnCount] = {
    "Record", "Outcome",     "Rule",     "To",         "From",      "CO#",      "On",
    "Off",    "Description", "To (out)", "From (out)", "CO# (out)", "On (out)", "Off (out)"};

EventField ColumnField(int column) {
    switch (column) {
        case AuditTableModel::kOutTo:
            return EventField::ToCallLetters;
        case AuditTableModel::kOutFrom:
            return EventField::FromCallLetters;
        case AuditTableModel::kOutCO:
            return EventField::CO;
        case AuditTableModel::kOutOn:
            return EventField::StartTime;
        default:
            return EventField::EndTime;
    }
}

QString Grouped(int count) {
    return QString::fromStdString(GroupedCount(count));
}
}  // namespace

void AuditTableModel::SetAudit(const RuleAudit* audit) {
    beginResetModel();
    m_audit = audit;
    endResetModel();
}

std::optional<RuleId> AuditTableModel::FirstRule(int row) const {
    if (!m_audit || row < 0 || row >= rowCount()) {
        return std::nullopt;
    }
    const AuditEvent& event = m_audit->Events()[static_cast<std::size_t>(row)];
    if (event.outcome == AuditOutcome::Deleted) {
        return event.deletedBy;
    }
    if (!event.changes.empty()) {
        return event.changes.front().rule;
    }
    return std::nullopt;
}

int AuditTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_audit ? 0 : static_cast<int>(m_audit->Events().size());
}

int AuditTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

const AuditChange* AuditTableModel::LastChange(const AuditEvent& event, int column) const {
    if (column < kOutTo || event.outcome != AuditOutcome::Written) {
        return nullptr;
    }
    const EventField field = ColumnField(column);
    for (auto it = event.changes.rbegin(); it != event.changes.rend(); ++it) {
        if (it->field == field) {
            return &*it;
        }
    }
    return nullptr;
}

QVariant AuditTableModel::Display(const AuditEvent& event, int column) const {
    const ScheduleRecord& in = event.input;
    switch (column) {
        case kRecord:
            return event.record;
        case kOutcome:
            switch (event.outcome) {
                case AuditOutcome::Skipped:
                    return QStringLiteral("skipped");
                case AuditOutcome::Deleted:
                    return QStringLiteral("deleted");
                case AuditOutcome::Written:
                    return event.changes.empty() ? QStringLiteral("unchanged")
                                                 : QStringLiteral("changed");
            }
            return {};
        case kRules: {
            if (event.outcome == AuditOutcome::Skipped) {
                return QStringLiteral("blank From call letters");
            }
            if (event.outcome == AuditOutcome::Deleted) {
                return TextFromBytes(RuleCaption(event.deletedBy, m_audit->Rules()));
            }
            QString rules;
            for (std::size_t i = 0; i < event.changes.size(); ++i) {
                if (i > 0 && event.changes[i].rule == event.changes[i - 1].rule) {
                    continue;
                }
                rules += (rules.isEmpty() ? QString() : QStringLiteral("; ")) +
                         TextFromBytes(RuleCaption(event.changes[i].rule, m_audit->Rules()));
            }
            return rules;
        }
        case kInTo:
            return TextFromBytes(in.tochnm_hd);
        case kInFrom:
            return TextFromBytes(in.fchnm_hd);
        case kInCO:
            return TextFromBytes(in.co);
        case kInOn:
            return TextFromBytes(in.on_time);
        case kInOff:
            return TextFromBytes(in.off_time);
        case kDescription:
            return TextFromBytes(in.pgm);
        default:
            if (event.outcome != AuditOutcome::Written) {
                return {};
            }
            const AuditChange* change = LastChange(event, column);
            return TextFromBytes(change ? change->after : FieldOf(in, ColumnField(column)));
    }
}

QVariant AuditTableModel::data(const QModelIndex& index, int role) const {
    if (!m_audit || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const AuditEvent& event = m_audit->Events()[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return Display(event, index.column());
        case kOutcomeRole:
            return static_cast<int>(event.outcome);
        case kChangedRole:
            return !event.changes.empty();
        case Qt::ForegroundRole:
            // Rows that produce no line are greyed.
            return event.outcome == AuditOutcome::Written ? QVariant() : QBrush(Qt::gray);
        case Qt::BackgroundRole:
            return LastChange(event, index.column()) ? QBrush(QColor(255, 236, 160)) : QVariant();
        case Qt::FontRole:
            if (LastChange(event, index.column())) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case Qt::ToolTipRole: {
            const AuditChange* change = LastChange(event, index.column());
            if (!change) {
                return index.column() == kRules ? Display(event, kRules) : QVariant();
            }
            QString tip;
            for (const AuditChange& each : event.changes) {
                if (each.field == change->field) {
                    tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) +
                           TextFromBytes(each.before) + QStringLiteral(" -> ") +
                           TextFromBytes(each.after) + QStringLiteral(" by ") +
                           TextFromBytes(RuleCaption(each.rule, m_audit->Rules()));
                }
            }
            return tip;
        }
        default:
            return {};
    }
}

QVariant AuditTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= kColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QString::fromLatin1(kHeaders[section]);
}

void AuditFilterModel::SetShow(Show show) {
    m_show = show;
    invalidateFilter();
}

bool AuditFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    const auto outcome =
        static_cast<AuditOutcome>(index.data(AuditTableModel::kOutcomeRole).toInt());
    const bool changed = index.data(AuditTableModel::kChangedRole).toBool();
    bool shown = true;
    switch (m_show) {
        case Show::All:
            break;
        case Show::Deleted:
            shown = outcome != AuditOutcome::Written;
            break;
        case Show::Changed:
            shown = outcome == AuditOutcome::Written && changed;
            break;
        case Show::Unchanged:
            shown = outcome == AuditOutcome::Written && !changed;
            break;
    }
    return shown && QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
}

PreviewWindow::PreviewWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_model(new AuditTableModel(this)),
      m_filter(new AuditFilterModel(this)),
      m_table(new QTableView(this)),
      m_filterText(new QLineEdit(this)),
      m_show(new QComboBox(this)),
      m_counts(new QLabel(this)),
      m_unused(new QListWidget(this)) {
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Preview"));
    resize(1300, 600);

    m_filter->setSourceModel(m_model);
    m_filter->setFilterKeyColumn(-1);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);

    m_filterText->setObjectName(QStringLiteral("txtFilter"));
    m_filterText->setPlaceholderText(
        QStringLiteral("Filter: call letters, CO#, description, rule"));
    m_filterText->setClearButtonEnabled(true);
    connect(m_filterText, &QLineEdit::textChanged, m_filter,
            &QSortFilterProxyModel::setFilterFixedString);
    m_show->setObjectName(QStringLiteral("cboShow"));
    m_show->addItems({QStringLiteral("All events"), QStringLiteral("Deleted and skipped"),
                      QStringLiteral("Changed"), QStringLiteral("Unchanged")});
    connect(m_show, &QComboBox::currentIndexChanged, this,
            [this](int choice) { m_filter->SetShow(static_cast<AuditFilterModel::Show>(choice)); });

    m_table->setObjectName(QStringLiteral("tblPreview"));
    m_table->setModel(m_filter);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    // Fixed row heights and column widths: nothing measures 32,767 rows.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    const int digit = m_table->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int widths[AuditTableModel::kColumnCount] = {6, 9, 30, 8, 8, 5, 8, 8, 14, 9, 9, 8, 8, 8};
    for (int column = 0; column < AuditTableModel::kColumnCount; ++column) {
        m_table->setColumnWidth(column, widths[column] * digit + 12);
    }
    connect(m_table, &QTableView::doubleClicked, this, &PreviewWindow::RowActivated);

    m_counts->setObjectName(QStringLiteral("lblCounts"));
    m_counts->setTextFormat(Qt::PlainText);
    m_unused->setObjectName(QStringLiteral("lstUnused"));
    m_unused->setMaximumHeight(m_table->fontMetrics().height() * 5);
    connect(m_unused, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (!item->data(kFamilyRole).isValid()) {
            return;
        }
        emit OpenRuleRequested(static_cast<RuleFamily>(item->data(kFamilyRole).toInt()),
                               item->data(kEntryRole).toInt());
    });

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("Show:"), this));
    bar->addWidget(m_show);
    bar->addWidget(m_filterText, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_counts);
    auto* unusedLabel = new QLabel(QStringLiteral("Rules that hit no event:"), this);
    layout->addWidget(unusedLabel);
    layout->addWidget(m_unused);
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::SetAudit(std::unique_ptr<RuleAudit> audit, const QString& title) {
    m_model->SetAudit(audit.get());
    m_audit = std::move(audit);
    setWindowTitle(QStringLiteral("Preview - ") + title);

    const JobCounts& c = m_audit->Counts();
    QString counts = Grouped(c.read) + QStringLiteral(" read, ") + Grouped(c.skipped) +
                     QStringLiteral(" skipped, ") + Grouped(c.deleted) +
                     QStringLiteral(" deleted, ") + Grouped(c.written) +
                     QStringLiteral(" written; nothing is written by the preview");
    if (c.ignoredLines > 0) {
        counts += QStringLiteral("; ") + TextFromBytes(IgnoredLinesNote(c.ignoredLines));
    }
    m_counts->setText(counts);

    m_unused->clear();
    for (const RuleId& rule : m_audit->UnusedRules()) {
        auto* item = new QListWidgetItem(TextFromBytes(RuleCaption(rule, m_audit->Rules())));
        item->setData(kFamilyRole, static_cast<int>(rule.family));
        item->setData(kEntryRole, rule.entry);
        m_unused->addItem(item);
    }
    if (m_unused->count() == 0) {
        m_unused->addItem(QStringLiteral("(none)"));
        m_unused->item(0)->setFlags(Qt::NoItemFlags);
    }
}

void PreviewWindow::RowActivated(const QModelIndex& index) {
    const auto rule = m_model->FirstRule(m_filter->mapToSource(index).row());
    if (rule) {
        emit OpenRuleRequested(rule->family, rule->entry);
    }
}

}  // namespace skedora

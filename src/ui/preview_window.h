#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QWidget>
#include <memory>

#include "app/rule_audit.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableView;

namespace skedora {

/** The audit's events as table rows: record, outcome, rules, the fields read and written. */
class AuditTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column {
        kRecord,
        kOutcome,
        kRules,
        kInTo,
        kInFrom,
        kInCO,
        kInOn,
        kInOff,
        kDescription,
        kOutTo,
        kOutFrom,
        kOutCO,
        kOutOn,
        kOutOff,
        kColumnCount
    };
    /** The row's AuditOutcome, and whether a written row has changes. */
    static constexpr int kOutcomeRole = Qt::UserRole;
    static constexpr int kChangedRole = Qt::UserRole + 1;

    explicit AuditTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    /** Shows the audit, which must outlive the model or the next call. */
    void SetAudit(const RuleAudit* audit);
    /** The rule a row names first: the deleting one, else the first change. */
    std::optional<RuleId> FirstRule(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QVariant Display(const AuditEvent& event, int column) const;
    /** The change that last set the output column's field, if any. */
    const AuditChange* LastChange(const AuditEvent& event, int column) const;

    const RuleAudit* m_audit = nullptr;
};

/** All events, or only the deleted (and skipped), the changed or the unchanged ones. */
class AuditFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    enum class Show { All, Deleted, Changed, Unchanged };

    explicit AuditFilterModel(QObject* parent = nullptr) : QSortFilterProxyModel(parent) {}
    void SetShow(Show show);

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    Show m_show = Show::All;
};

/**
 * What the rules would do to a schedule, without writing anything: a row per event, the counts
 * and the rules that hit nothing. Double-clicking a rule asks for its settings page.
 */
class PreviewWindow : public QWidget {
    Q_OBJECT
  public:
    explicit PreviewWindow(QWidget* parent = nullptr);
    ~PreviewWindow() override;

    /** Shows the audit of the schedule named title. */
    void SetAudit(std::unique_ptr<RuleAudit> audit, const QString& title);

  signals:
    /** The user asked for the settings dialog of this rule entry. */
    void OpenRuleRequested(RuleFamily family, int entry);

  private:
    void RowActivated(const QModelIndex& index);

    std::unique_ptr<RuleAudit> m_audit;
    AuditTableModel* m_model;
    AuditFilterModel* m_filter;
    QTableView* m_table;
    QLineEdit* m_filterText;
    QComboBox* m_show;
    QLabel* m_counts;
    QListWidget* m_unused;
};

}  // namespace skedora

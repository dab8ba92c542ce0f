#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/job_log.h"

class QPushButton;
class QTableView;

namespace skedora {

/** The job log as a table, newest job first; failed jobs marked. */
class JobHistoryModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { Time, Outcome, Source, Output, Read, Skipped, Deleted, Written, ErrorText };
    static constexpr int kColumnCount = ErrorText + 1;

    using QAbstractTableModel::QAbstractTableModel;

    void SetEntries(std::vector<JobLogEntry> entries);
    /** The entry shown in row. */
    const JobLogEntry& Entry(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    std::vector<JobLogEntry> m_entries;  // oldest first, as the log keeps them
};

/**
 * frmJobHistory: the jobs of this run and earlier runs. "Convert Again" runs the selected failed
 * job's source again through convertAgain.
 */
class JobHistoryWindow : public QWidget {
    Q_OBJECT

  public:
    JobHistoryWindow(std::function<void(const JobLogEntry&)> convertAgain, QWidget* parent);

    void SetEntries(const std::vector<JobLogEntry>& entries);
    QTableView* Table() const { return m_table; }

  private:
    void UpdateButtons();
    void ConvertAgain();

    std::function<void(const JobLogEntry&)> m_convertAgain;
    JobHistoryModel* m_model;
    QTableView* m_table;
    QPushButton* m_again;
};

}  // namespace skedora

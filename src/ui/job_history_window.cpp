#include "ui/job_history_window.h"

#include <QBrush>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ignored_lines.h"
#include "ui/byte_text.h"
#include "ui/file_path_text.h"

namespace skedora {

namespace {
constexpr int kPathColumnWidth = 260;
}  // namespace

void JobHistoryModel::SetEntries(std::vector<JobLogEntry> entries) {
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

const JobLogEntry& JobHistoryModel::Entry(int row) const {
    return m_entries[m_entries.size() - 1 - static_cast<std::size_t>(row)];
}

int JobHistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int JobHistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant JobHistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const JobLogEntry& entry = Entry(index.row());
    if (role == Qt::ForegroundRole && entry.IsFailure()) {
        return QBrush(Qt::darkRed);
    }
    if (role == Qt::TextAlignmentRole && index.column() >= Read && index.column() <= Written) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    switch (static_cast<Column>(index.column())) {
        case Time:
            return QString::fromLatin1(JobLogTimeText(entry.time));
        case Outcome: {
            const QString text = QString::fromLatin1(OutcomeText(entry.outcome));
            return entry.IsFailure() ? QStringLiteral("\u2716 ") + text : text;
        }
        case Source:
            return PathTextFromBytes(entry.source);
        case Output:
            return PathTextFromBytes(entry.output);
        case Read:
            return entry.read;
        case Skipped:
            return entry.skipped;
        case Deleted:
            return entry.deleted;
        case Written:
            return entry.written;
        case ErrorText:
            // A finished job that ignored lines says so where a failed one gives its error.
            return entry.error.empty() && entry.ignoredLines > 0
                       ? QString::fromLatin1(IgnoredLinesNote(entry.ignoredLines))
                       : TextFromBytes(entry.error);
    }
    return {};
}

QVariant JobHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const kHeaders[kColumnCount] = {
        "Time", "Outcome", "Source", "Output", "Read", "Skipped", "Deleted", "Written", "Error"};
    return section >= 0 && section < kColumnCount ? QString::fromLatin1(kHeaders[section])
                                                  : QVariant();
}

JobHistoryWindow::JobHistoryWindow(std::function<void(const JobLogEntry&)> convertAgain,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_convertAgain(std::move(convertAgain)),
      m_model(new JobHistoryModel(this)),
      m_table(new QTableView(this)),
      m_again(new QPushButton(QStringLiteral("Convert &Again"), this)) {
    setObjectName(QStringLiteral("frmJobHistory"));
    setWindowTitle(QStringLiteral("Job History"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_table->setObjectName(QStringLiteral("tblJobs"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setWordWrap(false);
    m_table->setTextElideMode(Qt::ElideMiddle);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &JobHistoryWindow::UpdateButtons);

    m_again->setObjectName(QStringLiteral("cmdConvertAgain"));
    connect(m_again, &QPushButton::clicked, this, &JobHistoryWindow::ConvertAgain);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_again);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(buttons);
    resize(1000, 360);
    UpdateButtons();
}

void JobHistoryWindow::SetEntries(const std::vector<JobLogEntry>& entries) {
    m_model->SetEntries(entries);
    m_table->resizeColumnsToContents();
    // Long paths are cut in the middle, where folder names repeat; the tooltip has them whole.
    for (const int column : {JobHistoryModel::Source, JobHistoryModel::Output}) {
        m_table->setColumnWidth(column, std::min(m_table->columnWidth(column), kPathColumnWidth));
    }
    UpdateButtons();
}

void JobHistoryWindow::UpdateButtons() {
    const QModelIndex current = m_table->currentIndex();
    m_again->setEnabled(current.isValid() && m_model->Entry(current.row()).IsFailure());
}

void JobHistoryWindow::ConvertAgain() {
    const QModelIndex current = m_table->currentIndex();
    if (current.isValid() && m_model->Entry(current.row()).IsFailure()) {
        // A copy: the call adds a job to the log, which resets the model.
        const JobLogEntry entry = m_model->Entry(current.row());
        m_convertAgain(entry);
    }
}

}  // namespace skedora

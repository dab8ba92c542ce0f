#include "ui/rule_tabs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace skedora {

namespace {
constexpr int kRowsPerPage = 8;

QString BoxName(const char* stem, int n) {
    return QStringLiteral("%1_%2").arg(QLatin1String(stem)).arg(n);
}

QGroupBox* RuleFrame(const QString& title, int first, const std::vector<BoxColumn*>& columns,
                     QWidget* page) {
    auto* frame = new QGroupBox(title, page);
    auto* grid = new QGridLayout(frame);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        grid->addWidget(PlainLabel(columns[c]->heading, frame), 0, static_cast<int>(2 * c));
    }
    for (int row = 1; row <= kRowsPerPage; ++row) {
        const int n = first + row - 1;
        int gridColumn = 0;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            BoxColumn& column = *columns[c];
            if (c > 0) {
                const QString joiner = c == 2 ? QStringLiteral("=") : QStringLiteral("+");
                grid->addWidget(PlainLabel(joiner, frame), row, gridColumn++);
            }
            auto* box = new FilteredLineEdit(column.filter, column.limit, frame);
            box->setObjectName(BoxName(column.stem, n));
            box->setToolTip(column.toolTip);
            box->setMinimumWidth(TextWidth(*box, column.limit + 2));
            grid->addWidget(box, row, gridColumn++);
            column.boxes.push_back(box);
        }
        if (columns.size() == 2) {
            grid->addWidget(PlainLabel(QStringLiteral("="), frame), row, gridColumn++);
            grid->addWidget(PlainLabel(QStringLiteral("Delete"), frame), row, gridColumn++);
        }
    }
    return frame;
}
}  // namespace

QTabWidget* RuleTabs(const char* name, const QStringList& frameTitles,
                     const std::vector<BoxColumn*>& columns, QWidget* parent) {
    auto* tabs = new QTabWidget(parent);
    tabs->setObjectName(QLatin1String(name));
    tabs->setUsesScrollButtons(false);  // every page caption in sight
    for (qsizetype p = 0; p < frameTitles.size(); ++p) {
        const int first = static_cast<int>(p) * kRowsPerPage + 1;
        auto* page = new QWidget(tabs);
        auto* layout = new QVBoxLayout(page);
        layout->addWidget(RuleFrame(frameTitles[p], first, columns, page));
        layout->addStretch();
        tabs->addTab(page, QStringLiteral("%1-%2").arg(first).arg(first + kRowsPerPage - 1));
    }
    return tabs;
}

void ShowRuleBox(QWidget* box) {
    if (box == nullptr) {
        return;
    }
    // A page sits in the tab control's page stack, so the control is its grandparent.
    for (QWidget* page = box; page != nullptr; page = page->parentWidget()) {
        QWidget* stack = page->parentWidget();
        auto* tabs = qobject_cast<QTabWidget*>(stack ? stack->parentWidget() : nullptr);
        if (const int index = tabs ? tabs->indexOf(page) : -1; index >= 0) {
            tabs->setCurrentIndex(index);
        }
    }
    box->setFocus(Qt::OtherFocusReason);
}

QLabel* PlainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

int TextWidth(const QWidget& widget, int characters) {
    return widget.fontMetrics().averageCharWidth() * characters;
}

}  // namespace skedora

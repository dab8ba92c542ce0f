#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "ui/filtered_line_edit.h"

class QLabel;
class QTabWidget;
class QWidget;

namespace skedora {

/** One column of rule text boxes: its name stem, heading, key filter, length limit, tooltip. */
struct BoxColumn {
    const char* stem;
    QString heading;
    KeyFilter filter;
    int limit;
    QString toolTip;
    /** Entry n of the rule list is boxes[n - 1]; filled by RuleTabs. */
    std::vector<FilteredLineEdit*> boxes;

    FilteredLineEdit* box(int n) const { return boxes.at(static_cast<std::size_t>(n - 1)); }
    /** Entry n's box; none for an entry the column has no row for. */
    FilteredLineEdit* BoxOrNone(int n) const {
        return n >= 1 && n <= static_cast<int>(boxes.size()) ? box(n) : nullptr;
    }
};

/**
 * A tab control of one page per eight entries, captioned "1-8", "9-16" ..., each page a frame
 * with the title of that page over the column headings and eight rows. A row of three columns
 * reads: box "+" box "=" box; a row of two: box "+" box "=" "Delete". The boxes are named
 * stem_n for entry n.
 */
QTabWidget* RuleTabs(const char* name, const QStringList& frameTitles,
                     const std::vector<BoxColumn*>& columns, QWidget* parent);

/**
 * Brings the widget into sight and gives it the focus: every tab page that holds it becomes
 * the current page of its tab control. Nothing happens for no widget.
 */
void ShowRuleBox(QWidget* box);

/** A label whose text is shown as given. */
QLabel* PlainLabel(const QString& text, QWidget* parent);

/** The width that shows about characters characters of the widget's font. */
int TextWidth(const QWidget& widget, int characters);

}  // namespace skedora

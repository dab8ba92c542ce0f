#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QtTest>

#include "app/schedule_audit.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"
#include "ui/preview_window.h"
#include "ui_test_support.h"

namespace skedora {

using Column = AuditTableModel::Column;

class PreviewTest : public QObject {
    Q_OBJECT

    test::TempDir m_data;

    static RuleSet Rules() {
        RuleSet rules;
        rules.DeleteCallLetterRules[3] = {"WDEL", "12"};
        rules.DeleteCallLetterRules[7] = {"ZZZZ", "1"};
        rules.ChangeCallLetterRules[5] = {"WABC", "12", "WABC-HD"};
        return rules;
    }

    std::unique_ptr<RuleAudit> Audit(const std::string& name,
                                     const std::vector<test::TestEvent>& events) {
        test::WriteCsvSchedule(m_data.file(name), events);
        auto audit = std::make_unique<RuleAudit>(Rules());
        return AuditSchedule(Rules(), m_data.file(name).string(), name, *audit) ? nullptr
                                                                                : std::move(audit);
    }

    void ShowSmall(PreviewWindow& window) {
        auto audit = Audit("week1.csv", {{"WABC", "WXYZ", "12", "News"},
                                         {"WABC", " ", "12", "Blank"},
                                         {"WDEL", "WXYZ", "12", "Gone"},
                                         {"KQED", "WXYZ", "9", "Kept"}});
        QVERIFY(audit);
        window.SetAudit(std::move(audit), QStringLiteral("week1.csv"));
    }

    static QString Cell(const QTableView& table, int row, int column, int role = Qt::DisplayRole) {
        return table.model()->index(row, column).data(role).toString();
    }

  private slots:
    void showsWhatTheRulesDo() {
        PreviewWindow window;
        ShowSmall(window);
        auto* table = test::Child<QTableView>(window, "tblPreview");
        auto* show = test::Child<QComboBox>(window, "cboShow");
        auto* filter = test::Child(window, "txtFilter");
        const auto grey = [&](int row) {
            return table->model()->index(row, 0).data(Qt::ForegroundRole).isValid();
        };
        QVERIFY(!grey(0) && grey(1) && grey(2) && !grey(3));
        QCOMPARE(Cell(*table, 1, Column::kRules), QStringLiteral("blank From call letters"));
        QVERIFY(Cell(*table, 2, Column::kRules).contains(QStringLiteral("WDEL")));
        QCOMPARE(Cell(*table, 2, Column::kOutTo), QString());

        QCOMPARE(Cell(*table, 0, Column::kOutTo), QStringLiteral("WABC-HD"));
        const auto marked = [&](int row, int column) {
            return table->model()->index(row, column).data(Qt::BackgroundRole).isValid();
        };
        QVERIFY(marked(0, Column::kOutTo));
        QVERIFY(!marked(0, Column::kInTo) && !marked(3, Column::kOutTo));

        QVERIFY(test::Child<QLabel>(window, "lblCounts")
                    ->text()
                    .startsWith(QStringLiteral("4 read, 1 skipped, 1 deleted, 2 written")));
        auto* unused = test::Child<QListWidget>(window, "lstUnused");
        QCOMPARE(unused->count(), 1);
        QVERIFY(unused->item(0)->text().contains(QStringLiteral("ZZZZ")));

        const struct {
            int choice;
            const char* text;
            QList<int> records;
        } cases[] = {
            {0, "", {1, 2, 3, 4}}, {1, "", {2, 3}},     {2, "", {1}},     {3, "", {4}},
            {0, "kqed", {4}},      {0, "wabc-hd", {1}}, {1, "wdel", {3}}, {2, "nothing", {}},
        };
        for (const auto& c : cases) {
            show->setCurrentIndex(c.choice);
            filter->setText(QString::fromLatin1(c.text));
            QList<int> records;
            for (int row = 0; row < table->model()->rowCount(); ++row) {
                records << table->model()->index(row, Column::kRecord).data().toInt();
            }
            QCOMPARE(records, c.records);
        }
    }
};

}  // namespace skedora

QTEST_MAIN(skedora::PreviewTest)
#include "preview_test.moc"

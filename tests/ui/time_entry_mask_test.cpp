#include "ui/time_entry_mask.h"

#include <QtTest>

using skedora::ApplyTimeKey;
using skedora::kBackspace;
using skedora::TimeKeyResult;

namespace {
std::string Bytes(const QString& text) {
    return text.toLatin1().toStdString();
}
}  // namespace

class TimeEntryMaskTest : public QObject {
    Q_OBJECT

  private slots:
    void key_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("selection");
        QTest::addColumn<int>("character");
        QTest::addColumn<QString>("newText");
        QTest::addColumn<int>("newCaret");

        const auto row = [](const char* name, const char* text, int caret, int selection,
                            char32_t character, const char* newText, int newCaret) {
            QTest::newRow(name) << QString::fromLatin1(text) << caret << selection
                                << static_cast<int>(character) << QString::fromLatin1(newText)
                                << newCaret;
        };
        // Typing 1, 2, 3, 0, 4, 5 into 00:00:00: the caret jumps over both colons.
        row("1 at 0", "00:00:00", 0, 0, '1', "10:00:00", 1);
        row("2 at 1 jumps the colon", "10:00:00", 1, 0, '2', "12:00:00", 3);
        row("3 at 3", "12:00:00", 3, 0, '3', "12:30:00", 4);
        row("0 at 4 jumps the colon", "12:30:00", 4, 0, '0', "12:30:00", 6);
        row("4 at 6", "12:30:00", 6, 0, '4', "12:30:40", 7);
        row("5 at 7", "12:30:40", 7, 0, '5', "12:30:45", 8);
        row("at the end the last digit is replaced", "12:30:45", 8, 0, '7', "12:30:47", 8);

        row("hour tens above 1 refused when units above 3", "05:00:00", 0, 0, '2', "05:00:00", 0);
        row("hour tens 1 taken when units above 3", "05:00:00", 0, 0, '1', "15:00:00", 1);
        row("hour tens above 2 refused", "00:00:00", 0, 0, '3', "00:00:00", 0);
        row("hour units above 3 refused after 2", "20:00:00", 1, 0, '4', "20:00:00", 1);
        row("hour units 3 taken after 2", "20:00:00", 1, 0, '3', "23:00:00", 3);
        row("hour units 9 taken after 1", "10:00:00", 1, 0, '9', "19:00:00", 3);
        row("minute tens above 5 refused", "12:34:56", 3, 0, '6', "12:34:56", 3);
        row("second tens above 5 refused", "12:34:56", 6, 0, '6', "12:34:56", 6);
        row("caret before a colon types after it", "12:34:56", 2, 0, '5', "12:54:56", 4);
        row("minute units take any digit", "12:34:56", 4, 0, '9', "12:39:56", 6);

        row("backspace at the end", "12:34:56", 8, 0, kBackspace, "12:34:50", 7);
        row("backspace at 4 goes back over the colon", "12:34:56", 4, 0, kBackspace, "12:04:56", 2);
        row("backspace right after a colon", "12:34:56", 3, 0, kBackspace, "12:04:56", 2);
        row("backspace at 0", "12:34:56", 0, 0, kBackspace, "02:34:56", 0);
        row("backspace at 6", "12:34:56", 6, 0, kBackspace, "12:34:06", 5);
        row("backspace ignores a selection", "12:34:56", 0, 8, kBackspace, "02:34:56", 0);

        row("fill all with 2", "12:34:56", 0, 8, '2', "22:22:22", 0);
        row("fill all with 0", "12:34:56", 0, 8, '0', "00:00:00", 0);
        row("5 over a selection is refused", "12:34:56", 0, 8, '5', "12:34:56", 0);
        row("fill makes no check", "05:00:00", 0, 1, '2', "25:00:00", 0);
        row("fill from before a colon", "12:34:56", 2, 3, '1', "12:11:56", 3);
        row("fill of the minutes from before a colon", "12:34:56", 5, 3, '0', "12:34:00", 6);
        row("4 over a selection replaces one digit", "12:34:56", 3, 2, '4', "12:44:56", 4);

        row("letter refused", "12:34:56", 4, 0, 'a', "12:34:56", 4);
        row("blank refused", "12:34:56", 4, 0, ' ', "12:34:56", 4);
        row("colon refused", "12:34:56", 2, 0, ':', "12:34:56", 2);
        row("ctrl+c refused", "12:34:56", 4, 0, 3, "12:34:56", 4);
        row("ctrl+v refused", "12:34:56", 4, 0, 22, "12:34:56", 4);
        row("ctrl+x refused and drops the selection", "12:34:56", 1, 4, 24, "12:34:56", 1);
        row("non-ASCII digit refused", "12:34:56", 0, 0, U'\u0661', "12:34:56", 0);

        row("position beyond a short text changes nothing", "1:00:00", 7, 0, '5', "1:00:00", 7);
        row("empty text stays empty", "", 0, 0, '1', "", 0);
        row("caret outside the text taken at its end", "12:34:56", 40, 0, '1', "12:34:51", 8);
    }

    void key() {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(int, selection);
        QFETCH(int, character);
        QFETCH(QString, newText);
        QFETCH(int, newCaret);

        const TimeKeyResult result =
            ApplyTimeKey(Bytes(text), static_cast<char32_t>(character), caret, selection);
        QCOMPARE(QString::fromLatin1(result.text), newText);
        QCOMPARE(result.caret, newCaret);
    }

    void typingASequence() {
        TimeKeyResult state{"00:00:00", 0};
        for (const char c : std::string("123045")) {
            state = ApplyTimeKey(state.text, static_cast<char32_t>(c), state.caret, 0);
        }
        QCOMPARE(state, (TimeKeyResult{"12:30:45", 8}));
    }

    void lengthNeverChanges() {
        const std::string texts[] = {"00:00:00", "23:59:59", "", "1:2", "ab:cd:ef:gh"};
        for (const std::string& text : texts) {
            for (char32_t c = 0; c < 128; ++c) {
                for (int caret = -1; caret <= 10; ++caret) {
                    for (int selection = -1; selection <= 9; selection += 3) {
                        const TimeKeyResult result = ApplyTimeKey(text, c, caret, selection);
                        QCOMPARE(result.text.size(), text.size());
                        QVERIFY(result.caret >= 0);
                        QVERIFY(result.caret <= static_cast<int>(text.size()));
                    }
                }
            }
        }
    }
};

QTEST_APPLESS_MAIN(TimeEntryMaskTest)
#include "time_entry_mask_test.moc"

#include "ui/byte_text.h"

#include <QtTest>

using skedora::BytesFromText;
using skedora::TextFromBytes;

class ByteTextTest : public QObject {
    Q_OBJECT

  private slots:
    void everyByteSurvivesTheRoundTrip() {
        std::string all;
        for (int value = 0; value < 256; ++value) {
            all += static_cast<char>(value);
        }
        const QString text = TextFromBytes(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(BytesFromText(text), all);
    }

    void windows1252CharactersAreShownAsSuch() {
        QCOMPARE(TextFromBytes("\x80 \x93KABC\x94 \xE9"),
                 QStringLiteral(u"\u20AC \u201CKABC\u201D \u00E9"));
        QCOMPARE(BytesFromText(QStringLiteral(u"\u20AC\u2122\u00FF")), std::string("\x80\x99\xFF"));
    }

    void charactersOutsideTheCodePageBecomeQuestionMarks() {
        QCOMPARE(BytesFromText(QStringLiteral(u"a\u0416b")), std::string("a?b"));
        QCOMPARE(BytesFromText(QString::fromUtf8("x\xF0\x9F\x98\x80y")), std::string("x?y"));
    }
};

QTEST_APPLESS_MAIN(ByteTextTest)
#include "byte_text_test.moc"

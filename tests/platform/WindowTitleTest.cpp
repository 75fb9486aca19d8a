#include <QtTest>

#include "platform/WindowTitle.h"

class WindowTitleTest : public QObject {
    Q_OBJECT
private slots:
    void titlesAreCutToWholeCharacters_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("limit");  // UTF-16 units
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("short") << QByteArray("Editor") << 79 << QByteArray("Editor");
        QTest::newRow("ASCII cut") << QByteArray("abcdef") << 4 << QByteArray("abcd");
        QTest::newRow("two-byte characters") << QByteArray("ééé") << 2 << QByteArray("éé");
        QTest::newRow("a four-byte character takes two units, never cut in half")
            << QByteArray("\xF0\x9F\x98\x80\xF0\x9F\x98\x80") << 3
            << QByteArray("\xF0\x9F\x98\x80");
        QTest::newRow("NUL ends the title")
            << QByteArray("Term\0junk", 9) << 79 << QByteArray("Term");
        QTest::newRow("exactly the limit") << QByteArray("abcd") << 4 << QByteArray("abcd");
        QTest::newRow("no UTF-8: a stray byte, a surrogate, a character cut short")
            << QByteArray("a\xFF\xED\xA0\x80z\xE2\x82") << 79
            << QByteArray("a\uFFFD\uFFFD\uFFFD\uFFFDz\uFFFD\uFFFD");
        QTest::newRow("a replaced byte takes one unit")
            << QByteArray("\x80\x80\x80") << 2 << QByteArray("\uFFFD\uFFFD");
    }
    void titlesAreCutToWholeCharacters() {
        QFETCH(QByteArray, input);
        QFETCH(int, limit);
        QFETCH(QByteArray, expected);
        const std::string cut = quindorel::cutTitle(
            std::string_view(input.constData(), input.size()), static_cast<std::size_t>(limit));
        QCOMPARE(QByteArray::fromStdString(cut), expected);
    }
};

QTEST_GUILESS_MAIN(WindowTitleTest)
#include "WindowTitleTest.moc"

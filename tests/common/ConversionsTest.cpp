#include <QtTest>

#include "common/Conversions.h"
#include "common/RuntimeError.h"

using namespace quindorel;

namespace {
// "ok", "overflow" or "mismatch": what a conversion did.
template <typename F>
QString outcome(F convert, qint64* value) {
    try {
        *value = convert();
        return QStringLiteral("ok");
    } catch (const RuntimeError& error) {
        return error.code() == RuntimeError::Code::Overflow ? QStringLiteral("overflow")
                                                            : QStringLiteral("mismatch");
    }
}
}  // namespace

class ConversionsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void numericTest_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("integer") << "12" << true;
        QTest::newRow("blanks around") << "  65 " << true;
        QTest::newRow("minus") << "-3" << true;
        QTest::newRow("plus") << "+4" << true;
        QTest::newRow("decimal") << "7.5" << true;
        QTest::newRow("exponent") << "1e3" << true;
        QTest::newRow("grouping") << "1,000" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank") << "   " << false;
        QTest::newRow("letters") << "abc" << false;
        QTest::newRow("trailing letters") << "12a" << false;
        QTest::newRow("inf") << "inf" << false;
        QTest::newRow("nan") << "nan" << false;
        QTest::newRow("too large for a double") << "1e400" << false;
        QTest::newRow("two signs") << "--1" << false;
    }
    void numericTest() {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QCOMPARE(convert::isNumeric(text), numeric);
    }

    void integer16_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<qint64>("value");
        QTest::newRow("7.5 rounds up to even") << "7.5"
                                               << "ok" << qint64(8);
        QTest::newRow("6.5 rounds down to even") << "6.5"
                                                 << "ok" << qint64(6);
        QTest::newRow("2.5") << "2.5"
                             << "ok" << qint64(2);
        QTest::newRow("3.5") << "3.5"
                             << "ok" << qint64(4);
        QTest::newRow("-2.5") << "-2.5"
                              << "ok" << qint64(-2);
        QTest::newRow("-3.5") << "-3.5"
                              << "ok" << qint64(-4);
        QTest::newRow("2.51") << "2.51"
                              << "ok" << qint64(3);
        QTest::newRow("lowest") << "-32768"
                                << "ok" << qint64(-32768);
        QTest::newRow("highest") << "32767"
                                 << "ok" << qint64(32767);
        QTest::newRow("32767.5 rounds out of range") << "32767.5"
                                                     << "overflow" << qint64(0);
        QTest::newRow("-32768.5 stays") << "-32768.5"
                                        << "ok" << qint64(-32768);
        QTest::newRow("40000") << "40000"
                               << "overflow" << qint64(0);
        QTest::newRow("-32769") << "-32769"
                                << "overflow" << qint64(0);
        QTest::newRow("exponent") << "1.2e2"
                                  << "ok" << qint64(120);
        QTest::newRow("blanks and sign") << " +12 "
                                         << "ok" << qint64(12);
        QTest::newRow("abc") << "abc"
                             << "mismatch" << qint64(0);
        QTest::newRow("blank") << " "
                               << "mismatch" << qint64(0);
        QTest::newRow("empty") << ""
                               << "mismatch" << qint64(0);
    }
    void integer16() {
        QFETCH(QString, text);
        QFETCH(QString, outcome);
        QFETCH(qint64, value);
        qint64 result = 0;
        QCOMPARE(::outcome([&] { return convert::toInteger16(text); }, &result), outcome);
        QCOMPARE(result, value);
    }

    void integer32_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<qint64>("value");
        QTest::newRow("40000") << "40000"
                               << "ok" << qint64(40000);
        QTest::newRow("negative handle") << "-2147483648"
                                         << "ok" << qint64(-2147483648LL);
        QTest::newRow("highest") << "2147483647"
                                 << "ok" << qint64(2147483647);
        QTest::newRow("beyond") << "2147483648"
                                << "overflow" << qint64(0);
        QTest::newRow("half to even") << "4.5"
                                      << "ok" << qint64(4);
        QTest::newRow("letters") << "x1"
                                 << "mismatch" << qint64(0);
    }
    void integer32() {
        QFETCH(QString, text);
        QFETCH(QString, outcome);
        QFETCH(qint64, value);
        qint64 result = 0;
        QCOMPARE(::outcome([&] { return convert::toInteger32(text); }, &result), outcome);
        QCOMPARE(result, value);
    }

    void byteRange() {
        QCOMPARE(convert::toByte(0), 0);
        QCOMPARE(convert::toByte(255), 255);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, convert::toByte(256));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, convert::toByte(-1));
    }

    void truthValues_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<qint64>("value");
        QTest::newRow("True") << "True"
                              << "ok" << qint64(1);
        QTest::newRow("false lower case") << "false"
                                          << "ok" << qint64(0);
        QTest::newRow("TRUE") << "TRUE"
                              << "ok" << qint64(1);
        QTest::newRow("one") << "1"
                             << "ok" << qint64(1);
        QTest::newRow("zero") << "0"
                              << "ok" << qint64(0);
        QTest::newRow("minus one") << "-1"
                                   << "ok" << qint64(1);
        QTest::newRow("half") << "0.5"
                              << "ok" << qint64(1);
        QTest::newRow("yes") << "yes"
                             << "mismatch" << qint64(0);
        QTest::newRow("empty") << ""
                               << "mismatch" << qint64(0);
    }
    void truthValues() {
        QFETCH(QString, text);
        QFETCH(QString, outcome);
        QFETCH(qint64, value);
        qint64 result = 0;
        QCOMPARE(::outcome([&] { return qint64(convert::toBoolean(text)); }, &result), outcome);
        QCOMPARE(result, value);
    }
};

QTEST_GUILESS_MAIN(ConversionsTest)
#include "ConversionsTest.moc"

#include <QProcess>
#include <QtTest>
#include "QuindorelConfig.h"

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

    // A desktop that writes "1,5" still reads the "1.5" that an older copy
    // or another user may have saved; this runs again in a German process.
    void decimalCommaDesktop() {
#if QUINDOREL_UNIX
        if (qEnvironmentVariableIsEmpty("CONVERSIONS_TEST_CHILD")) {
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("CONVERSIONS_TEST_CHILD", "1");
            environment.insert("LC_ALL", "de_DE.UTF-8");
            child.setProcessEnvironment(environment);
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start(QCoreApplication::applicationFilePath(), {"decimalCommaDesktop"});
            QVERIFY(child.waitForFinished(60000));
            QCOMPARE(child.exitCode(), 0);
            return;
        }
        QCOMPARE(QLocale::system().decimalPoint(), QStringLiteral(","));
        QCOMPARE(convert::toNumber("1,5"), 1.5);
        QCOMPARE(convert::toNumber("1.5"), 1.5);
#else
        QSKIP("the system locale comes from the environment on Unix only");
#endif
    }

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

    // Every integer conversion: text, width in bits, outcome, value.
    void integers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<qint64>("value");
        const auto row = [](const char* name, const char* text, int bits, const char* outcome,
                            qint64 value) {
            QTest::newRow(name) << QString::fromLatin1(text) << bits << QString::fromLatin1(outcome)
                                << value;
        };
        row("7.5 rounds up to even", "7.5", 16, "ok", 8);
        row("6.5 rounds down to even", "6.5", 16, "ok", 6);
        row("2.5", "2.5", 16, "ok", 2);
        row("3.5", "3.5", 16, "ok", 4);
        row("-2.5", "-2.5", 16, "ok", -2);
        row("-3.5", "-3.5", 16, "ok", -4);
        row("2.51", "2.51", 16, "ok", 3);
        row("lowest", "-32768", 16, "ok", -32768);
        row("highest", "32767", 16, "ok", 32767);
        row("32767.5 rounds out of range", "32767.5", 16, "overflow", 0);
        row("-32768.5 stays", "-32768.5", 16, "ok", -32768);
        row("40000", "40000", 16, "overflow", 0);
        row("-32769", "-32769", 16, "overflow", 0);
        row("exponent", "1.2e2", 16, "ok", 120);
        row("blanks and sign", " +12 ", 16, "ok", 12);
        row("abc", "abc", 16, "mismatch", 0);
        row("blank", " ", 16, "mismatch", 0);
        row("empty", "", 16, "mismatch", 0);
        row("40000 in 32 bits", "40000", 32, "ok", 40000);
        row("negative handle", "-2147483648", 32, "ok", -2147483648LL);
        row("highest in 32 bits", "2147483647", 32, "ok", 2147483647);
        row("beyond 32 bits", "2147483648", 32, "overflow", 0);
        row("half to even in 32 bits", "4.5", 32, "ok", 4);
        row("letters in 32 bits", "x1", 32, "mismatch", 0);
    }
    void integers() {
        QFETCH(QString, text);
        QFETCH(int, bits);
        QFETCH(QString, outcome);
        QFETCH(qint64, value);
        qint64 result = 0;
        const auto conversion = [&]() -> qint64 {
            return bits == 16 ? convert::toInteger16(text) : convert::toInteger32(text);
        };
        QCOMPARE(::outcome(conversion, &result), outcome);
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

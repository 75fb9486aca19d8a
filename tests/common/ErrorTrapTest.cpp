#include <QtTest>

#include "common/ErrorTrap.h"
#include "common/RuntimeError.h"
#include "platform/fake/FakePlatform.h"

using namespace quindorel;

class ErrorTrapTest : public QObject {
    Q_OBJECT
private slots:
    void reportTextIsExact() {
        const QString expected = QStringLiteral(
            "Overflow\r\nin Velmorquist2021/08/31.Form1.HoldKeys at line 112\r\r"
            "Please email screenshot of this message to support@quindorel.invalid");
        QCOMPARE(ErrorTrap::reportText(QStringLiteral("Overflow"), QStringLiteral("Form1.HoldKeys"),
                                       112),
                 expected);
    }

    void failingStatementIsReportedAndExecutionGoesOn() {
        FakePlatform platform;
        ErrorTrap trap(platform, QStringLiteral("Form1.Timer1_Timer"));
        QStringList ran;
        trap.run(100, [&] { ran << "100"; });
        trap.run(102, [&] { throw RuntimeError(RuntimeError::Code::TypeMismatch); });
        trap.run(104, [&] { ran << "104"; });
        QCOMPARE(ran, QStringList({"100", "104"}));
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].title, QStringLiteral("Application Error"));
        QCOMPARE(platform.messages[0].icon, MessageIcon::Exclamation);
        QVERIFY(platform.messages[0].text.startsWith(
            "Type mismatch\r\nin Velmorquist2021/08/31.Form1.Timer1_Timer at line 102\r\r"));
    }

    void failingConditionEntersTheIf() {
        FakePlatform platform;
        ErrorTrap trap(platform, QStringLiteral("Form1.Form_Load"));
        const bool entered =
            trap.test(164, []() -> bool { throw RuntimeError(RuntimeError::Code::InvalidCall); });
        QVERIFY(entered);
        QVERIFY(!trap.test(166, [] { return false; }));
        QCOMPARE(platform.messages.size(), 1);
        QVERIFY(platform.messages[0].text.contains("at line 164\r\r"));
    }

    void foreignExceptionsAreTrappedToo() {
        FakePlatform platform;
        ErrorTrap trap(platform, QStringLiteral("Form1.SaveKeySets"));
        QVERIFY(!trap.run(110, [] { throw std::runtime_error("disk on fire"); }));
        QCOMPARE(trap.reportCount(), 1);
        QVERIFY(platform.messages[0].text.startsWith("disk on fire\r\n"));
    }
};

QTEST_GUILESS_MAIN(ErrorTrapTest)
#include "ErrorTrapTest.moc"

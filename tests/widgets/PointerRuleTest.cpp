#include <QGroupBox>
#include <QPushButton>
#include <QtTest>

#include "app/PointerRule.h"
#include "widgets/WindowFixture.h"

using namespace quindorel;
using namespace quindorel::testing;

class PointerRuleTest : public QObject {
    Q_OBJECT

    static void hover(QWidget* widget) {
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(widget, &enter);
    }

private slots:
    void buttonsShowTheCustomPointerAndSurfacesTheArrow_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("pointer");
        QTest::newRow("key") << "cmdKey_41" << int(PointerRule::Custom);
        QTest::newRow("Reset") << "PushButton6" << int(PointerRule::Custom);
        QTest::newRow("Turn On") << "PushButton4" << int(PointerRule::Custom);
        QTest::newRow("keyboard frame") << "Frame4" << int(PointerRule::Default);
        QTest::newRow("keyboard picture") << "Image1" << int(PointerRule::Default);
        QTest::newRow("application list") << "ListView1" << int(PointerRule::Default);
        QTest::newRow("waiting time") << "Text1" << int(PointerRule::Default);
    }
    void buttonsShowTheCustomPointerAndSurfacesTheArrow() {
        QFETCH(QString, control);
        QFETCH(int, pointer);
        WindowFixture f;
        f.start();
        PointerRule& rule = f.window->pointer();
        rule.setPointer(pointer == PointerRule::Custom ? PointerRule::Default
                                                       : PointerRule::Custom);
        QWidget* widget = f.window->findChild<QWidget*>(control);
        QVERIFY(widget != nullptr);
        hover(widget);
        QCOMPARE(int(rule.pointer()), pointer);
        // Without a hand cursor file the custom pointer is the arrow.
        QCOMPARE(f.window->cursor().shape(), Qt::ArrowCursor);
    }

    void hourglassSurvivesHovering() {
        WindowFixture f;
        f.start();
        PointerRule& rule = f.window->pointer();
        rule.setPointer(PointerRule::Hourglass);
        hover(f.key(41));
        hover(f.controls().keyboardFrame);
        QCOMPARE(rule.pointer(), PointerRule::Hourglass);
        QCOMPARE(f.window->cursor().shape(), Qt::WaitCursor);
    }

    void handCursorFileIsUsedOverButtons() {
        WindowFixture f;
        // A 1x1 cursor with its hot spot at (0, 0), 32-bit, written by hand.
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out << quint16(0) << quint16(2) << quint16(1);  // directory
        out << quint8(1) << quint8(1) << quint8(0) << quint8(0) << quint16(0) << quint16(0)
            << quint32(40 + 4 + 4) << quint32(22);  // entry
        out << quint32(40) << qint32(1) << qint32(2) << quint16(1) << quint16(32) << quint32(0)
            << quint32(0) << qint32(0) << qint32(0) << quint32(0) << quint32(0);  // bitmap header
        out << quint32(0xFF000000) << quint32(0);                                 // pixel, mask row
        f.writeFile(f.program.filePath("HAND-M.CUR"), bytes);
        f.start();
        QVERIFY(f.platform.messages.isEmpty());
        QVERIFY(f.window->pointer().hasCustomCursor());
        hover(f.key(41));
        QCOMPARE(f.window->cursor().shape(), Qt::BitmapCursor);
    }
};

QTEST_MAIN(PointerRuleTest)
#include "PointerRuleTest.moc"

#include <QtTest>

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTreeWidget>

#include "widgets/WindowFixture.h"

using namespace quindorel;
using namespace quindorel::testing;

namespace {

QAccessibleInterface* readerView(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}
QString spokenName(QObject* object) {
    return readerView(object)->text(QAccessible::Name);
}
bool readsChecked(QObject* object) {
    const QAccessible::State state = readerView(object)->state();
    return state.checkable && state.checked;
}

}  // namespace

// What a screen reader learns through Qt's accessibility interface.
class ScreenReaderTest : public QObject {
    Q_OBJECT
private slots:
    void keysAreNamedAsPeopleSayThem_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        for (const char* row :
             {"0 Escape", "64 Backspace", "76 Page Up", "68 Left Shift", "70 Right Ctrl",
              "88 Keypad 7", "23 7", "96 Keypad Enter", "52 Enter", "13 Print Screen",
              "73 Left Windows", "75 Menu", "99 Space", "101 Down Arrow", "41 A",
              "104 Left Mouse Button", "108 Forward Mouse Button"}) {
            const QString text = QString::fromLatin1(row);
            QTest::newRow(row) << text.section(' ', 0, 0).toInt() << text.section(' ', 1);
        }
    }
    void keysAreNamedAsPeopleSayThem() {
        QFETCH(int, index);
        QFETCH(QString, name);
        WindowFixture f;
        QCOMPARE(spokenName(f.make().controls().keyButtons[index]), name);
    }

    void everyKeyHasItsOwnUnabbreviatedName() {
        WindowFixture f;
        QSet<QString> names;
        const QStringList abbreviations = {"esc", "bksp", "pup", "pdn", "ent", "dwn", "rgt",
                                           "psc", "slk",  "brk", "nlk", "hm",  "ins", "del"};
        for (KeyButton* key : f.make().controls().keyButtons) {
            const QString spoken = spokenName(key);
            names.insert(spoken);
            for (const QString& word : spoken.toLower().split(QLatin1Char(' '))) {
                QVERIFY2(!abbreviations.contains(word), qPrintable(spoken));
            }
        }
        QCOMPARE(names.size(), kKeyCount);
        QVERIFY(!names.contains(QString()));
    }

    // Marked keys read as checked however they were marked, a hidden picture
    // key included; and pressing it through the reader unmarks it.
    void marksReadAsChecked() {
        WindowFixture f;
        f.writeKeySet("65,93,2,");
        f.start();
        QCOMPARE(f.greenKeys(), (QList<int>{41, 75, 106}));
        for (int i = 0; i < kKeyCount; ++i) {
            QCOMPARE(readsChecked(f.key(i)), i == 41 || i == 75 || i == 106);
        }
        f.key(73)->click();
        QVERIFY(f.key(73)->isHidden());
        QVERIFY(readsChecked(f.key(73)));
        QAccessibleInterface* frame = readerView(f.controls().keyboardFrame);
        QVERIFY(frame->indexOfChild(readerView(f.key(73))) >= 0);
        readerView(f.key(73))->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(!readsChecked(f.key(73)));
        QVERIFY(!f.key(73)->isHidden());

        f.controls().markAllButton->click();
        QCOMPARE(f.greenKeys().size(), kKeyCount);
        QVERIFY(readsChecked(f.key(99)) && readsChecked(f.key(74)));
        f.controls().unmarkAllButton->click();
        QVERIFY(!readsChecked(f.key(99)) && !readsChecked(f.key(74)));
    }

    // The start/stop key from the keyboard alone: Shift+F10 opens the
    // window's menu, whose item names the key; the named dialog says why it
    // refuses a key, takes the next with its modifiers, and the window's
    // notice and the settings keep it.
    void startStopKeyFromTheKeyboard() {
        WindowFixture f;
        f.start();
        QString item, dialogName, refusal;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            item = menu->actions().value(0)->text();
            QTimer::singleShot(0, [&] {
                QWidget* dialog = QApplication::activeModalWidget();
                QVERIFY(dialog != nullptr);
                dialogName = readerView(dialog)->text(QAccessible::Name);
                QTest::keyClick(dialog, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
                for (QLabel* label : dialog->findChildren<QLabel*>()) {
                    refusal += spokenName(label).contains("Ctrl+Shift+S") ? spokenName(label) : "";
                }
                QTest::keyClick(dialog, Qt::Key_Control, Qt::ControlModifier);  // waits for its key
                QTest::keyClick(dialog, Qt::Key_F9, Qt::ControlModifier);
            });
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QTest::keyClick(f.window.get(), Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(item, QStringLiteral("Start/stop key: none..."));
        QCOMPARE(dialogName, QStringLiteral("Start/stop key"));
        QCOMPARE(refusal,
                 QStringLiteral("Ctrl+Shift+S stops the hold already: press another key."));
        QCOMPARE(f.controls().focusNotice->text(), QStringLiteral("Start/stop key: Ctrl+F9."));
        QCOMPARE(f.platform.store.value("ToggleKey"), QStringLiteral("Ctrl+F9"));
    }

    void controlsAreNamedAndTheHiddenButtonIsLeftOut() {
        WindowFixture f;
        f.start();
        const FormControls& c = f.controls();
        QCOMPARE(spokenName(c.appList), QStringLiteral("Select One Application To Hold Into"));
        QCOMPARE(spokenName(c.foreverOption),
                 QStringLiteral("Forever until Ctrl+Shift+S is pressed"));
        QCOMPARE(spokenName(c.timedOption), QStringLiteral("Hold for..."));
        for (const char* name : {"ListView2", "Text1", "PushButton1", "PushButton2", "PushButton3",
                                 "PushButton4", "PushButton6"}) {
            QVERIFY2(!spokenName(f.window->findChild<QWidget*>(name)).isEmpty(), name);
        }
        QAccessibleInterface* frame = readerView(c.keyboardFrame);
        QCOMPARE(frame->text(QAccessible::Name), c.keyboardFrame->title());
        QCOMPARE(frame->childCount(), kKeyCount + 3);  // the keys, Reset, two legends
        QCOMPARE(frame->indexOfChild(readerView(c.markAllButton)), -1);
        for (QWidget* widget : f.window->findChildren<QWidget*>()) {
            QVERIFY2(!widget->objectName().isEmpty(), widget->metaObject()->className());
        }
    }
};

QTEST_MAIN(ScreenReaderTest)
#include "ScreenReaderTest.moc"

#include <QtTest>

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTreeWidget>

#include "app/FormControls.h"
#include "app/KeyButton.h"

using namespace quindorel;

namespace {

QString captionOf(const QWidget* widget) {
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* frame = qobject_cast<const QGroupBox*>(widget)) {
        return frame->title();
    }
    if (auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (auto* box = qobject_cast<const QLineEdit*>(widget)) {
        return box->text();
    }
    return {};
}

}  // namespace

class FormLayoutTest : public QObject {
    Q_OBJECT
private:
    QWidget* form_ = nullptr;
    FormControls controls_;

    QWidget* control(const QString& name) { return form_->findChild<QWidget*>(name); }

private slots:
    void init() {
        form_ = new QWidget;
        controls_ = buildFormControls(form_);
    }
    void cleanup() { delete form_; }

    void windowIsFixedAndWhite() {
        QCOMPARE(form_->size(), QSize(656, 644));
        QCOMPARE(form_->minimumSize(), form_->maximumSize());
        const Qt::WindowFlags flags = form_->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form_->font().family(), QStringLiteral("Arial"));
        QCOMPARE(form_->font().pixelSize(), 12);
        QVERIFY(form_->font().bold());
    }

    void controlsStandAtTheirDesignedPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        auto row = [](const char* name, const char* container, const char* caption, QRect rect) {
            QTest::newRow(name) << name << container << QString::fromLatin1(caption) << rect;
        };
        row("ListView1", "Form1", "", QRect(8, 8, 640, 137));
        row("PushButton1", "Form1", "Refresh List", QRect(8, 151, 640, 27));
        row("Frame1", "Form1", "Wait this amount of seconds before holding the key down",
            QRect(8, 181, 640, 59));
        row("Text1", "Frame1", "Text1", QRect(16, 20, 81, 27));
        row("PushButton3", "Frame1", "Help", QRect(104, 20, 520, 27));
        row("Frame3", "Form1", "How long would you like to hold the key down?",
            QRect(8, 242, 640, 141));
        row("Option1", "Frame3", "Forever until Ctrl+Shift+S is pressed", QRect(16, 20, 256, 17));
        row("Option2", "Frame3", "", QRect(16, 43, 25, 17));
        row("ListView2", "Frame3", "", QRect(32, 43, 592, 87));
        row("Frame4", "Form1", "Which keys would you like to hold down?", QRect(8, 386, 640, 215));
        row("Image1", "Frame4", "", QRect(16, 22, 608, 143));
        row("PushButton6", "Frame4", "Reset (Unmark All Buttons)", QRect(16, 176, 328, 27));
        row("PushButton5", "Frame4", "Mark All Buttons", QRect(624, 176, 160, 27));
        row("Label1", "Frame4", "Selected key = green", QRect(352, 181, 119, 15));
        row("Label2", "Frame4", "Unselectled key = gray", QRect(488, 181, 128, 15));
        row("PushButton4", "Form1", "Turn On", QRect(8, 609, 320, 27));
        row("PushButton2", "Form1", "Hold Now (Test)", QRect(336, 609, 312, 27));
    }
    void controlsStandAtTheirDesignedPlaces() {
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        QWidget* widget = control(name);
        QVERIFY2(widget, qPrintable(name));
        QCOMPARE(widget->parentWidget()->objectName(), container);
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(captionOf(widget), caption);
    }

    void fontsFollowTheDesign_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("bold");
        const char* windowFont[] = {"ListView1", "ListView2", "Frame1", "Frame3", "Frame4",
                                    "Text1",     "Option1",   "Label1", "Label2"};
        for (const char* name : windowFont) {
            QTest::newRow(name) << name << "Arial" << 12 << true;
        }
        for (int i = 1; i <= 6; ++i) {
            const QByteArray name = "PushButton" + QByteArray::number(i);
            QTest::newRow(name) << QString::fromLatin1(name) << "Arial" << 15 << true;
        }
        for (int i : {0, 52, 73, 99}) {
            const QByteArray name = "cmdKey_" + QByteArray::number(i);
            QTest::newRow(name) << QString::fromLatin1(name) << "Arial Narrow" << 11 << false;
        }
    }
    void fontsFollowTheDesign() {
        QFETCH(QString, name);
        QFETCH(QString, family);
        QFETCH(int, pixelSize);
        QFETCH(bool, bold);
        QWidget* widget = control(name);
        QVERIFY2(widget, qPrintable(name));
        QCOMPARE(widget->font().family(), family);
        QCOMPARE(widget->font().pixelSize(), pixelSize);
        QCOMPARE(widget->font().bold(), bold);
    }

    // Each key reports its own index when clicked, any number may be down,
    // and every key lies on the keyboard picture, above it, clear of the others.
    void keysAnswerWithTheirIndexOnThePicture() {
        QCOMPARE(controls_.keyGroup->buttons().size(), kKeyCount);
        QVERIFY(!controls_.keyGroup->exclusive());
        for (int i = 0; i < kKeyCount; ++i) {
            KeyButton* button = controls_.keyButtons[i];
            QCOMPARE(controls_.keyGroup->id(button), i);
            QVERIFY(controls_.keyboardImage->geometry().contains(button->geometry()));
            for (int j = 0; j < i; ++j) {
                QVERIFY2(!controls_.keyButtons[j]->geometry().intersects(button->geometry()),
                         qPrintable(QStringLiteral("keys %1 and %2").arg(j).arg(i)));
            }
        }
        const QObjectList& children = controls_.keyboardFrame->children();
        QVERIFY(children.indexOf(controls_.keyboardImage) <
                children.indexOf(controls_.keyButtons[0]));
    }

    void onlyMarkAllAndTheNoticeStayHidden() {
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        for (QWidget* widget : form_->findChildren<QWidget*>()) {
            if (!widget->objectName().isEmpty() && widget->objectName().at(0).isUpper()) {
                QCOMPARE(widget->isVisible(),
                         widget != controls_.markAllButton && widget != controls_.focusNotice);
            }
        }
        QVERIFY(!controls_.foreverOption->isChecked());
        QVERIFY(!controls_.timedOption->isChecked());
    }

    void tabOrderAndFirstFocus() {
        QStringList expected = {"ListView1",   "PushButton1", "PushButton4",
                                "PushButton2", "PushButton3", "ListView2",
                                "Text1",       "Option1",     "Option2"};
        for (int i = 0; i < kKeyCount; ++i) {
            expected << QStringLiteral("cmdKey_%1").arg(i);
        }
        expected << QStringLiteral("PushButton6");

        QStringList chain;
        QWidget* widget = controls_.appList;
        do {
            if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(form_)) {
                chain << widget->objectName();
            }
            widget = widget->nextInFocusChain();
        } while (widget != controls_.appList);
        QCOMPARE(chain, expected);

        form_->show();
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_));
        QCOMPARE(QApplication::focusWidget(), controls_.appList);
    }

    void backgroundsAreWhite() {
        const QImage shot = form_->grab().toImage();
        for (const char* name :
             {"Form1", "Frame1", "Frame3", "Frame4", "Option1", "Option2", "Label1", "Label2"}) {
            QWidget* widget = qstrcmp(name, "Form1") == 0 ? form_ : control(name);
            QVERIFY2(widget->autoFillBackground(), name);
            QCOMPARE(widget->palette().color(widget->backgroundRole()), QColor(Qt::white));
            // A top corner clear of captions and frame lines; Option2's right
            // end lies under the "Hold for..." list, as designed.
            const QPoint inside = widget == controls_.timedOption
                                      ? QPoint(1, 0)
                                      : widget->rect().topRight() - QPoint(1, 0);
            const QPoint corner = widget->mapTo(form_, inside);
            QVERIFY2(QColor(shot.pixel(corner)) == QColor(Qt::white), name);
        }
        for (auto* button : form_->findChildren<QPushButton*>()) {
            if (!qobject_cast<KeyButton*>(button)) {
                QCOMPARE(button->palette().color(QPalette::Button), QColor(Qt::white));
            }
        }
        for (QPoint spot : {QPoint(2, 2), QPoint(652, 640), QPoint(2, 300)}) {
            QCOMPARE(QColor(shot.pixel(spot)), QColor(Qt::white));
        }
    }

    // The design fixes every colour: a dark system scheme, there at start or
    // chosen while the program runs, must not change a single pixel.
    void darkSchemeChangesNothing_data() {
        QTest::addColumn<bool>("darkAtStart");
        QTest::newRow("dark at start") << true;
        QTest::newRow("dark chosen later") << false;
    }
    void darkSchemeChangesNothing() {
        QFETCH(bool, darkAtStart);
        const auto fill = [this] {
            new QTreeWidgetItem(controls_.appList, {"Terminal", "1"});
            controls_.appList->setCurrentItem(controls_.appList->topLevelItem(0));
            controls_.holdList->setEnabled(false);
            controls_.waitField->setText("5");
            controls_.keyButtons[41]->setBackColor(KeyButton::kMarked);
        };
        fill();
        const QImage light = form_->grab().toImage();
        const QPalette system = QApplication::palette();
        QPalette dark;
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const bool ground = role == QPalette::Window || role == QPalette::Base ||
                                role == QPalette::Button || role == QPalette::AlternateBase;
            dark.setColor(QPalette::ColorRole(role), ground ? QColor(0x31, 0x31, 0x31) : Qt::white);
        }
        QApplication::setPalette(dark);
        if (darkAtStart) {
            cleanup();
            init();
            fill();
        }
        const QImage shot = form_->grab().toImage();
        QApplication::setPalette(system);
        if (shot != light) {
            shot.save(QCoreApplication::applicationDirPath() + "/dark-scheme.png");
        }
        QVERIFY2(shot == light, "differs from the light scheme: see dark-scheme.png");
    }

    // A chosen target or length keeps the design's selection colour once the
    // focus has moved on, also in Windows' own style, which draws rows from
    // the system theme.
    void chosenRowsStayMarked() {
        controls_.waitField->setFocus();
        for (QTreeWidget* list : {controls_.appList, controls_.holdList}) {
            if (QStyle* windows = QStyleFactory::create(QStringLiteral("windowsvista"))) {
                windows->setParent(list);
                list->setStyle(windows);
            }
            list->setColumnCount(1);
            list->setCurrentItem(new QTreeWidgetItem(list, {"Game"}));
            const QRect row = list->visualItemRect(list->currentItem());
            const QImage shot = list->viewport()->grab().toImage();
            QCOMPARE(shot.pixelColor(row.center().x(), row.center().y()), QColor(0x0078D7));
        }
    }

    // Saves a picture of the window, filled as start-up fills it, for people
    // to look at: form-layout.png beside the test program.
    void savesAPictureOfTheWindow() {
        controls_.appList->setHeaderLabels({"Select One Application To Hold Into", "Handle"});
        controls_.appList->setColumnWidth(0, 8500 / 15);
        controls_.appList->setColumnWidth(1, 1);
        for (const char* title : {"Untitled - Text Editor", "Terminal", "Calculator"}) {
            new QTreeWidgetItem(controls_.appList, {title, "12345"});
        }
        controls_.holdList->setHeaderLabels({"Hold for..."});
        controls_.holdList->setColumnWidth(0, 8000 / 15);
        for (const char* item :
             {"1 second", "5 seconds", "10 seconds", "60 seconds", "X seconds"}) {
            new QTreeWidgetItem(controls_.holdList, {item});
        }
        controls_.holdList->setCurrentItem(controls_.holdList->topLevelItem(1));
        controls_.foreverOption->setChecked(true);
        controls_.keyButtons[41]->setBackColor(KeyButton::kMarked);
        controls_.keyButtons[74]->setBackColor(KeyButton::kMarked);
        controls_.keyButtons[104]->setBackColor(KeyButton::kMarked);  // the left mouse button
        controls_.keyButtons[73]->hide();  // a marked picture key uncovers the drawn key
        const QString path = QCoreApplication::applicationDirPath() + "/form-layout.png";
        QVERIFY(form_->grab().save(path));
        qInfo("window picture saved to %s", qPrintable(path));
    }
};

QTEST_MAIN(FormLayoutTest)
#include "FormLayoutTest.moc"

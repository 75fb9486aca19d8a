#include <QtTest>

#include "app/AppIcon.h"
#include "app/FormControls.h"
#include "app/KeyButton.h"
#include "app/KeyboardPicture.h"

using namespace quindorel;

namespace {

// The share of a rectangle of `image` painted in exactly one of `colours`.
double shareOf(const QImage& image, QRect area, std::initializer_list<QRgb> colours) {
    int hits = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y) & 0xFFFFFF;
            hits += std::find(colours.begin(), colours.end(), pixel) != colours.end() ? 1 : 0;
        }
    }
    return double(hits) / (area.width() * area.height());
}

}  // namespace

class DrawingsTest : public QObject {
    Q_OBJECT
private slots:
    // The mark colour must fill the face exactly: it is what the user reads.
    void keyFaceShowsTheMarkColour_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<bool>("focused");
        for (QRgb colour : {KeyButton::kUnmarked, KeyButton::kMarked}) {
            const QByteArray mark = colour == KeyButton::kMarked ? " marked" : " unmarked";
            QTest::newRow("letter" + mark) << 41 << colour << false;
            QTest::newRow("wide caption" + mark) << 67 << colour << false;
            QTest::newRow("space bar" + mark) << 99 << colour << false;
            QTest::newRow("picture key" + mark) << 75 << colour << false;
            QTest::newRow("focused" + mark) << 52 << colour << true;
        }
    }
    void keyFaceShowsTheMarkColour() {
        QFETCH(int, index);
        QFETCH(QRgb, colour);
        QFETCH(bool, focused);
        QWidget form;
        KeyButton* key = buildFormControls(&form).keyButtons[index];
        key->setBackColor(colour);
        if (focused) {
            form.show();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            key->setFocus();
            QTRY_VERIFY(key->hasFocus());
        }
        const QImage face = key->grab().toImage();
        // Left of the caption, and the top-left corner inside the edge.
        QCOMPARE(face.pixel(1, face.height() / 2) & 0xFFFFFF, colour);
        QCOMPARE(face.pixel(1, 1) & 0xFFFFFF, colour);
        if (index == 99) {
            QCOMPARE(face.pixel(face.rect().center()) & 0xFFFFFF, colour);
        }
        QVERIFY(shareOf(face, face.rect(), {colour}) > 0.25);
        // Keyboard users find the focused key by a solid black frame.
        QCOMPARE(shareOf(face, face.rect().adjusted(2, 2, -2, -2), {0x000000}) > 0.25, focused);
    }

    // A hidden key button must uncover its own drawn key, not the body or a
    // neighbour: every key's place in the picture shows a key face.
    void drawnKeysLieUnderTheirButtons() {
        const QImage picture = keyboardPicture().toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(picture.size(), QSize(608, 143));
        for (int i = 0; i < kKeyCount; ++i) {
            const QRect key = drawnKeyRect(i);
            QVERIFY2(picture.rect().contains(key), qPrintable(QString::number(i)));
            const QRgb face = isCharacterKey(i) ? 0xFFFFFF : 0xC8DDFA;
            // The picture keys show their symbol on the face.
            const double share = shareOf(
                picture, key, {face, 0xF25022, 0x7FBA00, 0x00A4EF, 0xFFB900, 0x1F4EA8, 0x8FB2E8});
            QVERIFY2(share > 0.3, qPrintable(QStringLiteral("key %1: %2").arg(i).arg(share)));
        }

        // And in the window, where the picture leaves out the keys its
        // buttons stand on.
        QWidget form;
        const FormControls controls = buildFormControls(&form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        for (KeyButton* button :
             {controls.keyButtons[kLeftWindowsKey], controls.keyButtons[kRightWindowsKey],
              controls.keyButtons[kMenuKey]}) {
            button->hide();
            QCoreApplication::processEvents();
            const QImage shown = form.screen()->grabWindow(form.winId()).toImage();
            const QRect place(button->mapTo(&form, QPoint()), button->size());
            QVERIFY(shareOf(shown, place,
                            {0xC8DDFA, 0xF25022, 0x7FBA00, 0x00A4EF, 0xFFB900, 0x1F4EA8,
                             0x8FB2E8}) > 0.3);
        }
    }

    void iconComesInEveryUsualSize() {
        const QIcon icon = appIcon();
        for (int side : {16, 32, 48, 256}) {
            QVERIFY(icon.availableSizes().contains(QSize(side, side)));
            const QImage image = icon.pixmap(side).toImage().convertToFormat(QImage::Format_ARGB32);
            QVERIFY(qAlpha(image.pixel(side / 2, side / 2)) == 255);
        }
    }
};

QTEST_MAIN(DrawingsTest)
#include "DrawingsTest.moc"

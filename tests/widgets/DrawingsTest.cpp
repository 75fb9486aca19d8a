#include <QtTest>

#include "app/AppIcon.h"
#include "app/KeyPictures.h"
#include "app/KeyboardPicture.h"
#include "keys/KeyButton.h"
#include "keys/KeyTable.h"

using namespace quindorel;

namespace {

// The share of a rectangle of `image` painted in one of `colours`.
double shareOf(const QImage& image, QRect area, std::initializer_list<QRgb> colours) {
    int hits = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y) | 0xFF000000;
            for (QRgb colour : colours) {
                hits += pixel == (colour | 0xFF000000) ? 1 : 0;
            }
        }
    }
    return double(hits) / (area.width() * area.height());
}

int opaquePixels(const QPixmap& picture) {
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

class DrawingsTest : public QObject {
    Q_OBJECT
private slots:
    // The mark colour must fill the face exactly: it is what the user reads.
    void keyFaceShowsTheMarkColour_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<bool>("focused");
        for (QRgb colour : {KeyButton::kUnmarked, KeyButton::kMarked}) {
            const QByteArray mark = colour == KeyButton::kMarked ? " marked" : " unmarked";
            QTest::newRow("letter" + mark) << 41 << "a" << colour << false;
            QTest::newRow("wide caption" + mark) << 67 << "capslock" << colour << false;
            QTest::newRow("space bar" + mark) << 99 << "" << colour << false;
            QTest::newRow("picture key" + mark) << 75 << "" << colour << false;
            QTest::newRow("focused" + mark) << 52 << "Enter" << colour << true;
        }
    }
    void keyFaceShowsTheMarkColour() {
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(QRgb, colour);
        QFETCH(bool, focused);
        QWidget window;
        window.resize(100, 60);
        const KeyDefinition& key = keyTable()[index];
        KeyButton button(index, caption, QString::number(key.code), &window);
        button.setGeometry(QRect(QPoint(4, 4), twipsRect(0, 0, key.width, key.height).size()));
        QFont font(QStringLiteral("Arial Narrow"));
        font.setPixelSize(11);
        button.setFont(font);
        if (index == 75) {
            button.setIcon(QIcon(menuListPicture()));
            button.setIconSize(QSize(18, 18));
        }
        button.setBackColor(colour);
        if (focused) {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            button.setFocus();
            QTRY_VERIFY(button.hasFocus());
        }
        const QImage face = button.grab().toImage();
        // Left of the caption, and the top-left corner inside the edge.
        const QRgb expected = colour | 0xFF000000;
        QCOMPARE(face.pixel(1, face.height() / 2), expected);
        QCOMPARE(face.pixel(1, 1), expected);
        if (caption.isEmpty() && index != 75) {
            QCOMPARE(face.pixel(face.rect().center()), expected);
        }
        // Much of the face carries the colour, whatever the caption or picture.
        QVERIFY(shareOf(face, face.rect(), {colour}) > 0.25);
    }

    void keyFaceReadsTheColourBack() {
        KeyButton button(0, QStringLiteral("esc"), QStringLiteral("27"));
        button.setBackColor(0xFF00FF00);  // any alpha byte is not part of the mark
        QCOMPARE(button.backColor(), KeyButton::kMarked);
    }

    void picturesHaveTheirDesignedSizes() {
        QCOMPARE(keyboardPicture().size(), QSize(608, 143));
        QCOMPARE(windowFlagPicture().size(), QSize(22, 19));
        QCOMPARE(menuListPicture().size(), QSize(18, 18));
        QVERIFY(opaquePixels(windowFlagPicture()) > 22 * 19 / 3);
        QVERIFY(opaquePixels(menuListPicture()) > 18 * 18 / 2);
    }

    // A hidden key button must uncover its own drawn key, not the body or a
    // neighbour: every key's place in the picture shows a key face.
    void drawnKeysLieUnderTheirButtons() {
        const QImage picture = keyboardPicture().toImage().convertToFormat(QImage::Format_ARGB32);
        const QRect whole = picture.rect();
        for (int i = 0; i < kKeyCount; ++i) {
            const QRect key = drawnKeyRect(i);
            QVERIFY2(whole.contains(key), qPrintable(QString::number(i)));
            const QRgb face = isCharacterKey(i) ? 0xFFFFFF : 0xC8DDFA;
            // The picture keys show their symbol on the face.
            const double share = shareOf(
                picture, key, {face, 0xF25022, 0x7FBA00, 0x00A4EF, 0xFFB900, 0x1F4EA8, 0x8FB2E8});
            QVERIFY2(share > 0.3, qPrintable(QStringLiteral("key %1: %2").arg(i).arg(share)));
        }
        QCOMPARE(keyboardPictureRect(), QRect(16, 22, 608, 143));
    }

    void characterKeysAreWhite_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("white");
        QTest::newRow("esc") << 0 << false;
        QTest::newRow("F1") << 1 << false;
        QTest::newRow("grave") << 16 << true;
        QTest::newRow("a") << 41 << true;
        QTest::newRow("Enter") << 52 << false;
        QTest::newRow("?/") << 62 << true;
        QTest::newRow("right shift") << 63 << false;
        QTest::newRow("backslash") << 65 << true;
        QTest::newRow("space") << 99 << true;
        QTest::newRow("pad 9") << 86 << true;
        QTest::newRow("pad +") << 89 << false;
        QTest::newRow("Up") << 100 << false;
    }
    void characterKeysAreWhite() {
        QFETCH(int, index);
        QFETCH(bool, white);
        QCOMPARE(isCharacterKey(index), white);
    }

    void iconComesInEveryUsualSize() {
        const QIcon icon = appIcon();
        QVERIFY(!icon.isNull());
        for (int side : {16, 32, 48, 256}) {
            QVERIFY(icon.availableSizes().contains(QSize(side, side)));
            const QPixmap picture = icon.pixmap(side, side);
            QVERIFY(opaquePixels(picture) > side * side / 2);
        }
    }
};

QTEST_MAIN(DrawingsTest)
#include "DrawingsTest.moc"

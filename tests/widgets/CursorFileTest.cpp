#include <QtTest>

#include "app/CursorFile.h"
#include "common/RuntimeError.h"

using namespace quindorel;

namespace {

void putWord(QByteArray& bytes, qsizetype at, quint16 value) {
    qToLittleEndian<quint16>(value, bytes.data() + at);
}
void putDoubleWord(QByteArray& bytes, qsizetype at, quint32 value) {
    qToLittleEndian<quint32>(value, bytes.data() + at);
}

// Offsets into a file made by cursorFile(): directory, entry, bitmap header.
constexpr int kCount = 4;
constexpr int kHotX = 6 + 4;
constexpr int kHotY = 6 + 6;
constexpr int kLength = 6 + 8;
constexpr int kOffset = 6 + 12;
constexpr int kHeader = 22;

// A one-cursor .cur file. In 1 bit the left half is white and the right half
// black; in 32 bits the top half is red and the bottom half blue. The bottom
// quarter is transparent (by the mask in 1 bit, by the alpha channel in 32
// bits, as Windows reads them), which also shows that the rows, stored
// bottom-up, come out the right way round.
QByteArray cursorFile(int side, int bitsPerPixel, QPoint hotSpot) {
    const int colourRow = (side * bitsPerPixel + 31) / 32 * 4;
    const int maskRow = (side + 31) / 32 * 4;
    const int palette = bitsPerPixel == 1 ? 2 : 0;
    QByteArray image(40 + palette * 4 + (colourRow + maskRow) * side, '\0');
    putDoubleWord(image, 0, 40);
    putDoubleWord(image, 4, side);
    putDoubleWord(image, 8, side * 2);
    putWord(image, 12, 1);
    putWord(image, 14, bitsPerPixel);
    if (palette) {
        putDoubleWord(image, 40, 0x000000);
        putDoubleWord(image, 44, 0xFFFFFF);
    }
    const int colourStart = 40 + palette * 4;
    const int maskStart = colourStart + colourRow * side;
    for (int row = 0; row < side; ++row) {
        const int y = side - 1 - row;  // bottom-up
        for (int x = 0; x < side; ++x) {
            if (bitsPerPixel == 1 && x < side / 2) {
                image[colourStart + row * colourRow + x / 8] |= char(0x80 >> (x % 8));
            } else if (bitsPerPixel == 32) {
                const quint32 rgb = y < side / 2 ? 0xFF0000 : 0x0000FF;
                const quint32 argb = y >= side * 3 / 4 ? rgb : rgb | 0xFF000000;
                putDoubleWord(image, colourStart + row * colourRow + x * 4, argb);
            }
            if (y >= side * 3 / 4) {
                image[maskStart + row * maskRow + x / 8] |= char(0x80 >> (x % 8));
            }
        }
    }
    QByteArray file(22, '\0');
    putWord(file, 2, 2);
    putWord(file, 4, 1);
    file[6] = char(side);
    file[7] = char(side);
    putWord(file, kHotX, hotSpot.x());
    putWord(file, kHotY, hotSpot.y());
    putDoubleWord(file, kLength, image.size());
    putDoubleWord(file, kOffset, 22);
    return file + image;
}

QString failureOf(const QByteArray& bytes) {
    try {
        decodeCursorFile(bytes);
        return QStringLiteral("decoded");
    } catch (const RuntimeError& error) {
        return error.code() == RuntimeError::Code::InvalidPicture ? QStringLiteral("invalid")
                                                                  : error.description();
    }
}

}  // namespace

class CursorFileTest : public QObject {
    Q_OBJECT
private slots:
    void decodesSoundFiles_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QPoint>("hotSpotInFile");
        QTest::addColumn<QPoint>("hotSpot");
        QTest::addColumn<QPoint>("opaqueSpot");
        QTest::addColumn<QRgb>("opaqueColour");
        QTest::addColumn<QPoint>("otherSpot");
        QTest::addColumn<QRgb>("otherColour");
        QTest::newRow("monochrome 32") << 32 << 1 << QPoint(9, 2) << QPoint(9, 2) << QPoint(3, 3)
                                       << QRgb(0xFFFFFFFF) << QPoint(20, 3) << QRgb(0xFF000000);
        QTest::newRow("true colour 16")
            << 16 << 32 << QPoint(0, 15) << QPoint(0, 15) << QPoint(1, 1) << QRgb(0xFFFF0000)
            << QPoint(1, 10) << QRgb(0xFF0000FF);
        QTest::newRow("hot spot off the picture")
            << 32 << 1 << QPoint(40, 99) << QPoint(31, 31) << QPoint(3, 3) << QRgb(0xFFFFFFFF)
            << QPoint(20, 3) << QRgb(0xFF000000);
    }
    void decodesSoundFiles() {
        QFETCH(int, side);
        QFETCH(int, bits);
        QFETCH(QPoint, hotSpotInFile);
        QFETCH(QPoint, hotSpot);
        QFETCH(QPoint, opaqueSpot);
        QFETCH(QRgb, opaqueColour);
        QFETCH(QPoint, otherSpot);
        QFETCH(QRgb, otherColour);

        const CursorPicture cursor = decodeCursorFile(cursorFile(side, bits, hotSpotInFile));
        QCOMPARE(cursor.image.size(), QSize(side, side));
        QCOMPARE(cursor.hotSpot, hotSpot);
        const QImage image = cursor.image.convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.pixel(opaqueSpot), opaqueColour);
        QCOMPARE(image.pixel(otherSpot), otherColour);
        QCOMPARE(qAlpha(image.pixel(1, side - 1)), 0);
    }

    void rejectsDamagedFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray sound = cursorFile(32, 1, QPoint(9, 2));
        auto changed = [&](auto change) {
            QByteArray bytes = sound;
            change(bytes);
            return bytes;
        };
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("shorter than a directory") << sound.left(5);
        QTest::newRow("directory only") << sound.left(6);
        QTest::newRow("cut in the entry") << sound.left(15);
        QTest::newRow("cut in the image header") << sound.left(40);
        QTest::newRow("cut in the mask") << sound.left(sound.size() - 10);
        QTest::newRow("not reserved zero") << changed([](QByteArray& b) { putWord(b, 0, 1); });
        QTest::newRow("an icon, not a cursor") << changed([](QByteArray& b) { putWord(b, 2, 1); });
        QTest::newRow("no cursors") << changed([](QByteArray& b) { putWord(b, kCount, 0); });
        QTest::newRow("more entries than the file holds")
            << changed([](QByteArray& b) { putWord(b, kCount, 60000); });
        QTest::newRow("huge image length")
            << changed([](QByteArray& b) { putDoubleWord(b, kLength, 0xFFFFFFFF); });
        QTest::newRow("image past the end")
            << changed([](QByteArray& b) { putDoubleWord(b, kOffset, 0xFFFFFFF0); });
        QTest::newRow("image inside the directory")
            << changed([](QByteArray& b) { putDoubleWord(b, kOffset, 2); });
        QTest::newRow("short image length")
            << changed([](QByteArray& b) { putDoubleWord(b, kLength, 100); });
        QTest::newRow("bitmap header size zero")
            << changed([](QByteArray& b) { putDoubleWord(b, kHeader, 0); });
        QTest::newRow("huge width")
            << changed([](QByteArray& b) { putDoubleWord(b, kHeader + 4, 100000); });
        QTest::newRow("negative width")
            << changed([](QByteArray& b) { putDoubleWord(b, kHeader + 4, 0xFFFFFFE0); });
        QTest::newRow("huge height")
            << changed([](QByteArray& b) { putDoubleWord(b, kHeader + 8, 0x7FFFFFFE); });
        QTest::newRow("odd height")
            << changed([](QByteArray& b) { putDoubleWord(b, kHeader + 8, 63); });
        QTest::newRow("unknown colour depth")
            << changed([](QByteArray& b) { putWord(b, kHeader + 14, 7); });
        QTest::newRow("compressed")
            << changed([](QByteArray& b) { putDoubleWord(b, kHeader + 16, 1); });
        QTest::newRow("palette larger than the depth")
            << changed([](QByteArray& b) { putDoubleWord(b, kHeader + 32, 0x40000000); });
        QTest::newRow("damaged PNG") << changed(
            [](QByteArray& b) { b.replace(kHeader, 8, QByteArrayLiteral("\x89PNG\r\n\x1a\n")); });
        QTest::newRow("text file") << QByteArray("this is not a cursor at all, just words\n");
    }
    void rejectsDamagedFiles() {
        QFETCH(QByteArray, bytes);
        QCOMPARE(failureOf(bytes), QStringLiteral("invalid"));
    }

    void loadsFromDisk() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("HAND-M.CUR"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cursorFile(32, 1, QPoint(9, 2)));
        file.close();

        const QCursor cursor = loadCursorFile(path);
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(9, 2));
        QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
    }

    void reportsUnreadableFiles_data() {
        QTest::addColumn<QByteArray>("content");  // empty: no file at all
        QTest::addColumn<int>("code");
        QTest::newRow("missing") << QByteArray() << int(RuntimeError::Code::FileNotFound);
        QTest::newRow("damaged") << QByteArray("MZ\0\0junk", 8)
                                 << int(RuntimeError::Code::InvalidPicture);
    }
    void reportsUnreadableFiles() {
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("HAND-M.CUR"));
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        try {
            loadCursorFile(path);
            QFAIL("a cursor was loaded");
        } catch (const RuntimeError& error) {
            QCOMPARE(int(error.code()), code);
            QVERIFY(!error.description().isEmpty());
        }
    }
};

QTEST_MAIN(CursorFileTest)
#include "CursorFileTest.moc"

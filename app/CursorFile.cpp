#include "app/CursorFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

#include "common/RuntimeError.h"

namespace quindorel {

namespace {

constexpr int kDirectorySize = 6;
constexpr int kEntrySize = 16;
constexpr int kBitmapHeaderSize = 40;
constexpr int kCursorType = 2;
constexpr int kLargestSide = 256;
// A 256 x 256 cursor in 32 bits with its mask needs about 264 KiB; anything
// far beyond that is not a cursor and is not read into memory.
constexpr qint64 kLargestFile = 4 * 1024 * 1024;

[[noreturn]] void reject(const QString& why) {
    throw RuntimeError(RuntimeError::Code::InvalidPicture, why);
}

quint16 word(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}
quint32 doubleWord(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
qint32 signedDoubleWord(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<qint32>(bytes.constData() + at);
}

bool isPng(const QByteArray& data) {
    return data.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1a\n"));
}

qint64 rowBytes(qint64 width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// Checks the bitmap header of a classic (non-PNG) cursor image and that the
// colour, palette and mask data it announces are all present.
void checkBitmap(const QByteArray& data) {
    if (data.size() < kBitmapHeaderSize) {
        reject(QStringLiteral("the cursor image is cut short"));
    }
    const quint32 headerSize = doubleWord(data, 0);
    const qint32 width = signedDoubleWord(data, 4);
    const qint32 doubledHeight = signedDoubleWord(data, 8);
    const quint16 bitsPerPixel = word(data, 14);
    const quint32 compression = doubleWord(data, 16);
    const quint32 coloursUsed = doubleWord(data, 32);
    if (headerSize < kBitmapHeaderSize || headerSize > quint32(data.size())) {
        reject(QStringLiteral("the cursor image has a damaged header"));
    }
    // The height counts the colour bitmap and the mask together.
    if (width < 1 || width > kLargestSide || doubledHeight < 2 ||
        doubledHeight > 2 * kLargestSide || doubledHeight % 2 != 0) {
        reject(QStringLiteral("the cursor image has an impossible size"));
    }
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24 &&
        bitsPerPixel != 32) {
        reject(QStringLiteral("the cursor image has an unknown colour depth"));
    }
    if (compression != 0) {
        reject(QStringLiteral("the cursor image is compressed"));
    }
    const qint64 maxPalette = bitsPerPixel <= 8 ? (1 << bitsPerPixel) : 0;
    if (coloursUsed > quint32(maxPalette) && bitsPerPixel <= 8) {
        reject(QStringLiteral("the cursor image has a damaged palette"));
    }
    const qint64 paletteEntries = coloursUsed != 0 ? coloursUsed : maxPalette;
    const qint64 height = doubledHeight / 2;
    const qint64 needed = qint64(headerSize) + paletteEntries * 4 +
                          rowBytes(width, bitsPerPixel) * height + rowBytes(width, 1) * height;
    if (needed > data.size()) {
        reject(QStringLiteral("the cursor image is cut short"));
    }
}

// A cursor file holding only `data` as its single image, so the image reader
// decodes exactly the image that was checked.
QByteArray singleImageFile(const QByteArray& entry, const QByteArray& data) {
    QByteArray file;
    file.reserve(kDirectorySize + kEntrySize + data.size());
    const char directory[kDirectorySize] = {0, 0, kCursorType, 0, 1, 0};
    file.append(directory, kDirectorySize);
    QByteArray ownEntry = entry;
    qToLittleEndian<quint32>(quint32(kDirectorySize + kEntrySize), ownEntry.data() + 12);
    file.append(ownEntry);
    file.append(data);
    return file;
}

QImage decodeImage(const QByteArray& entry, const QByteArray& data) {
    if (isPng(data)) {
        return QImage::fromData(data, "PNG");
    }
    checkBitmap(data);
    QByteArray file = singleImageFile(entry, data);
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "cur");
    return reader.read();
}

}  // namespace

CursorPicture decodeCursorFile(const QByteArray& bytes) {
    if (bytes.size() < kDirectorySize) {
        reject(QStringLiteral("the file is too short to be a cursor"));
    }
    if (word(bytes, 0) != 0 || word(bytes, 2) != kCursorType) {
        reject(QStringLiteral("the file is not a cursor file"));
    }
    const int count = word(bytes, 4);
    if (count == 0) {
        reject(QStringLiteral("the cursor file holds no cursor"));
    }
    if (bytes.size() < kDirectorySize + qint64(count) * kEntrySize) {
        reject(QStringLiteral("the cursor directory is cut short"));
    }

    // The first cursor is the one shown, as on Windows.
    const QByteArray entry = bytes.mid(kDirectorySize, kEntrySize);
    const QPoint hotSpot(word(entry, 4), word(entry, 6));
    const quint32 length = doubleWord(entry, 8);
    const quint32 offset = doubleWord(entry, 12);
    if (offset < kDirectorySize + quint32(count) * kEntrySize ||
        quint64(offset) + length > quint64(bytes.size())) {
        reject(QStringLiteral("the cursor image lies outside the file"));
    }

    CursorPicture cursor;
    cursor.image = decodeImage(entry, bytes.mid(offset, length));
    if (cursor.image.isNull()) {
        reject(QStringLiteral("the cursor image cannot be read"));
    }
    if (cursor.image.width() > kLargestSide || cursor.image.height() > kLargestSide) {
        reject(QStringLiteral("the cursor image has an impossible size"));
    }
    // A hot spot off the picture would point nowhere; keep it on the picture.
    cursor.hotSpot = QPoint(qMin(hotSpot.x(), cursor.image.width() - 1),
                            qMin(hotSpot.y(), cursor.image.height() - 1));
    return cursor;
}

QCursor loadCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const bool missing = !QFileInfo::exists(path);
        throw RuntimeError(
            missing ? RuntimeError::Code::FileNotFound : RuntimeError::Code::PathFileAccessError,
            path);
    }
    if (file.size() > kLargestFile) {
        reject(QStringLiteral("the file is far too large to be a cursor"));
    }
    const CursorPicture cursor = decodeCursorFile(file.readAll());
    return QCursor(QPixmap::fromImage(cursor.image), cursor.hotSpot.x(), cursor.hotSpot.y());
}

}  // namespace quindorel

// Draws the two pictures that go with quindorel.exe, for scripts/build-windows.sh
// (a host tool it builds and runs):
//   windows-pictures ICON.ico CURSOR.cur
// ICON.ico: the program's own icon (app/AppIcon.cpp) at 16, 24, 32, 48, 64 and
// 256 pixels, for the exe's resources. CURSOR.cur: a 32-pixel pointing hand,
// the HAND-M.CUR shown over buttons. Both hold PNG images (Windows Vista on).
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtEndian>

#include "app/AppIcon.h"

namespace {

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        qFatal("windows-pictures: cannot encode a %dx%d image", image.width(), image.height());
    }
    return bytes;
}

void add16(QByteArray& out, quint16 value) {
    value = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&value), 2);
}

void add32(QByteArray& out, quint32 value) {
    value = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&value), 4);
}

// An .ico (type 1) or .cur (type 2) file: a directory, then the images. A
// cursor's entries carry the hot spot where an icon's carry planes and bits.
QByteArray iconFile(quint16 type, const QList<QImage>& images, QPoint hotSpot = {}) {
    QByteArray out;
    add16(out, 0);
    add16(out, type);
    add16(out, static_cast<quint16>(images.size()));
    QList<QByteArray> data;
    for (const QImage& image : images) {
        data << png(image);
    }
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int side = images[i].width();
        out.append(static_cast<char>(side >= 256 ? 0 : side));  // 0 means 256
        out.append(static_cast<char>(side >= 256 ? 0 : side));
        out.append('\0');  // no palette
        out.append('\0');
        add16(out, type == 1 ? 1 : static_cast<quint16>(hotSpot.x()));
        add16(out, type == 1 ? 32 : static_cast<quint16>(hotSpot.y()));
        add32(out, static_cast<quint32>(data[i].size()));
        add32(out, offset);
        offset += static_cast<quint32>(data[i].size());
    }
    for (const QByteArray& image : data) {
        out.append(image);
    }
    return out;
}

// A white pointing hand with a black outline; the tip of the index finger
// is the hot spot.
QImage handCursor() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.addRoundedRect(QRectF(8.5, 1.5, 5, 17), 2.5, 2.5);     // index finger
    hand.addRoundedRect(QRectF(13.5, 9.5, 4.5, 10), 2.2, 2.2);  // middle finger
    hand.addRoundedRect(QRectF(18, 10.5, 4.5, 10), 2.2, 2.2);   // ring finger
    hand.addRoundedRect(QRectF(22.5, 12, 4, 9), 2, 2);          // little finger
    hand.addRoundedRect(QRectF(8.5, 15.5, 18, 12), 4, 4);       // palm
    QPainterPath thumb;
    thumb.moveTo(9, 17);
    thumb.lineTo(4, 13.5);
    thumb.quadTo(1.5, 14, 3, 17.5);
    thumb.lineTo(9, 25);
    thumb.closeSubpath();
    hand = hand.united(thumb).simplified();
    painter.setPen(QPen(Qt::black, 1.2));
    painter.setBrush(Qt::white);
    painter.drawPath(hand);
    return image;
}

void write(const char* path, const QByteArray& bytes) {
    QFile out(QString::fromLocal8Bit(path));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush()) {
        qFatal("windows-pictures: cannot write %s", path);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        qCritical("usage: windows-pictures ICON.ico CURSOR.cur");
        return 2;
    }
    const QIcon icon = quindorel::appIcon();
    QList<QImage> sizes;
    for (const int side : {16, 24, 32, 48, 64, 256}) {
        sizes << icon.pixmap(side, side).toImage();
    }
    write(argv[1], iconFile(1, sizes));
    write(argv[2], iconFile(2, {handCursor()}, QPoint(10, 2)));
    return 0;
}

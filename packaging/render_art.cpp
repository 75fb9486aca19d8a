// Draws the files an installed copy needs that the program otherwise draws at
// run time or reads when present:
//   quindorel_art FOLDER
// writes FOLDER/icons/hicolor/NxN/apps/<id>.png at the usual icon sizes, from
// the program's own icon, FOLDER/HAND-M.CUR, the hand shown over buttons, and
// FOLDER/quindorel.ico, the Windows program's icon.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <cstdio>

#include "app/AppIcon.h"

namespace {

// A pointing hand, 32 x 32, with the tip of its finger at (9, 1).
QImage handPicture() {
    QImage picture(32, 32, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill);                   // the parts overlap and make one outline
    hand.addRoundedRect(QRectF(7, 1, 5, 17), 2.5, 2.5);  // the finger
    for (int knuckle = 0; knuckle < 3; ++knuckle) {
        hand.addRoundedRect(QRectF(11.5 + knuckle * 4.5, 9 + knuckle, 4.5, 10), 2.2, 2.2);
    }
    hand.addRoundedRect(QRectF(2, 14, 8, 5), 2.5, 2.5);  // the thumb
    hand.addRoundedRect(QRectF(6, 16, 19.5, 14), 4, 4);  // the palm
    painter.setPen(QPen(Qt::black, 1.2));
    painter.setBrush(Qt::white);
    painter.drawPath(hand.simplified());
    return picture;
}

// A cursor (.cur) or icon (.ico) file holding its pictures as PNG, as these
// files may since 2007. A cursor's entries carry the hot spot where an icon's
// carry planes and bits per pixel.
QByteArray iconFile(bool cursor, const QList<QImage>& pictures, QPoint hotSpot = {}) {
    const auto count = static_cast<quint32>(pictures.size());
    QByteArray bytes(6 + 16 * count, '\0');
    qToLittleEndian<quint16>(cursor ? 2 : 1, bytes.data() + 2);
    qToLittleEndian<quint16>(quint16(count), bytes.data() + 4);
    for (quint32 i = 0; i < count; ++i) {
        const QImage& picture = pictures[i];
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        char* p = bytes.data() + 6 + 16 * i;
        p[0] = char(picture.width() >= 256 ? 0 : picture.width());  // 0 means 256
        p[1] = char(picture.height() >= 256 ? 0 : picture.height());
        qToLittleEndian<quint16>(quint16(cursor ? hotSpot.x() : 1), p + 4);
        qToLittleEndian<quint16>(quint16(cursor ? hotSpot.y() : 32), p + 6);
        qToLittleEndian<quint32>(quint32(png.size()), p + 8);
        qToLittleEndian<quint32>(quint32(bytes.size()), p + 12);
        bytes += png;
    }
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quindorel_art FOLDER ICON-NAME\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QString iconName = QString::fromLocal8Bit(argv[2]);
    const QIcon icon = quindorel::appIcon();
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString apps = QStringLiteral("icons/hicolor/%1x%1/apps").arg(side);
        const QString path = folder.filePath(apps + QLatin1Char('/') + iconName + ".png");
        if (!folder.mkpath(apps) || !icon.pixmap(side).save(path, "PNG")) {
            std::fprintf(stderr, "quindorel_art: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const QString cursor = folder.filePath(QStringLiteral("HAND-M.CUR"));
    if (!writeFile(cursor, iconFile(true, {handPicture()}, QPoint(9, 1)))) {
        std::fprintf(stderr, "quindorel_art: cannot write %s\n", qPrintable(cursor));
        return 1;
    }
    // The Windows program's icon, for its resources (scripts/build-windows.sh).
    QList<QImage> sizes;
    for (int side : {16, 24, 32, 48, 64, 256}) {
        sizes << icon.pixmap(side).toImage();
    }
    const QString ico = folder.filePath(QStringLiteral("quindorel.ico"));
    if (!writeFile(ico, iconFile(false, sizes))) {
        std::fprintf(stderr, "quindorel_art: cannot write %s\n", qPrintable(ico));
        return 1;
    }
    return 0;
}

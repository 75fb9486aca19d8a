#include "app/KeyPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace quindorel {

namespace {

// One waving pane of the flag: a quad whose top and bottom edges sag a little,
// so the four panes together read as a flag in the wind.
QPainterPath wavingPane(QRectF box) {
    const qreal sag = box.height() * 0.18;
    QPainterPath path;
    path.moveTo(box.left(), box.top() + sag);
    path.quadTo(box.center().x(), box.top() - sag, box.right(), box.top() + sag * 0.5);
    path.lineTo(box.right(), box.bottom() + sag * 0.5);
    path.quadTo(box.center().x(), box.bottom() - sag, box.left(), box.bottom() + sag);
    path.closeSubpath();
    return path;
}

}  // namespace

QPixmap windowFlagPicture() {
    QPixmap picture(22, 19);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    const qreal paneWidth = 9.0;
    const qreal paneHeight = 7.0;
    const qreal gap = 1.2;
    const QPointF origin(2.0, 2.0);
    const QColor colours[4] = {QColor(0xF2, 0x50, 0x22), QColor(0x7F, 0xBA, 0x00),
                               QColor(0x00, 0xA4, 0xEF), QColor(0xFF, 0xB9, 0x00)};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            const QRectF box(origin.x() + column * (paneWidth + gap),
                             origin.y() + row * (paneHeight + gap), paneWidth, paneHeight);
            painter.setBrush(colours[row * 2 + column]);
            painter.drawPath(wavingPane(box));
        }
    }
    // The trailing strokes behind the flag, as on the printed key.
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.0));
    for (int stroke = 0; stroke < 3; ++stroke) {
        const qreal y = 4.5 + stroke * 4.5;
        painter.drawLine(QPointF(0.0, y), QPointF(1.2, y));
    }
    return picture;
}

QPixmap menuListPicture() {
    QPixmap picture(18, 18);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);

    // A small window: blue frame and title bar over a white body.
    const QColor frameBlue(0x1F, 0x4E, 0xA8);
    painter.fillRect(QRect(1, 1, 16, 16), frameBlue);
    painter.fillRect(QRect(2, 5, 14, 11), Qt::white);
    painter.fillRect(QRect(3, 2, 2, 2), QColor(0xBF, 0xD4, 0xF5));

    // The menu entries: a bullet and a line each.
    const QColor entryBlue(0x2E, 0x6F, 0xD8);
    for (int entry = 0; entry < 3; ++entry) {
        const int y = 7 + entry * 3;
        painter.fillRect(QRect(4, y, 2, 2), entryBlue);
        painter.fillRect(QRect(7, y, 7, 2), QColor(0x8F, 0xB2, 0xE8));
    }
    // A mouse pointer resting on the first entry says "menu".
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(11.0, 8.0);
    arrow.lineTo(11.0, 16.5);
    arrow.lineTo(13.0, 14.5);
    arrow.lineTo(15.0, 17.5);
    arrow.lineTo(16.0, 17.0);
    arrow.lineTo(14.2, 14.0);
    arrow.lineTo(16.8, 14.0);
    arrow.closeSubpath();
    painter.setPen(QPen(Qt::black, 0.8));
    painter.setBrush(Qt::white);
    painter.drawPath(arrow);
    return picture;
}

}  // namespace quindorel

#include "app/AppIcon.h"

#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace quindorel {

namespace {

// Draws the key at `side` pixels; each size is drawn rather than scaled so the
// small ones stay sharp.
QPixmap keyPicture(int side) {
    QPixmap picture(side, side);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const qreal s = side;
    const qreal radius = s * 0.14;
    const QRectF base(s * 0.06, s * 0.12, s * 0.88, s * 0.82);
    const QRectF top(s * 0.16, s * 0.16, s * 0.68, s * 0.58);

    // The key's sides: the dark blue skirt the cap stands on.
    QLinearGradient skirt(base.topLeft(), base.bottomLeft());
    skirt.setColorAt(0.0, QColor(0x2F, 0x5F, 0xB8));
    skirt.setColorAt(1.0, QColor(0x16, 0x36, 0x78));
    painter.setPen(QPen(QColor(0x0E, 0x24, 0x52), qMax(1.0, s / 32.0)));
    painter.setBrush(skirt);
    painter.drawRoundedRect(base, radius, radius);

    // The cap's top face, lit from above.
    QLinearGradient face(top.topLeft(), top.bottomLeft());
    face.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    face.setColorAt(1.0, QColor(0xC8, 0xDD, 0xFA));
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawRoundedRect(top, radius * 0.8, radius * 0.8);

    // The green mark: this key is held.
    if (side >= 20) {
        const qreal dot = s * 0.2;
        painter.setBrush(QColor(0x00, 0xC8, 0x00));
        painter.setPen(QPen(QColor(0x00, 0x70, 0x00), qMax(1.0, s / 48.0)));
        painter.drawEllipse(QRectF(top.right() - dot * 1.1, top.top() + dot * 0.3, dot, dot));
    }

    // A downward arrow on the cap: "hold down".
    const QPointF centre = top.center() + QPointF(-s * 0.04, s * 0.02);
    QPainterPath arrow;
    arrow.moveTo(centre + QPointF(-s * 0.06, -s * 0.2));
    arrow.lineTo(centre + QPointF(s * 0.06, -s * 0.2));
    arrow.lineTo(centre + QPointF(s * 0.06, 0.0));
    arrow.lineTo(centre + QPointF(s * 0.16, 0.0));
    arrow.lineTo(centre + QPointF(0.0, s * 0.19));
    arrow.lineTo(centre + QPointF(-s * 0.16, 0.0));
    arrow.lineTo(centre + QPointF(-s * 0.06, 0.0));
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1F, 0x46, 0x98));
    painter.drawPath(arrow);
    return picture;
}

// Draws each size when it is asked for, so start-up pays only for the sizes
// the window system takes, and keeps none: the window system copies them
// when the window is made, and kept here they would stay for the
// program's whole life.
class KeyIconEngine : public QIconEngine {
public:
    explicit KeyIconEngine(int largest) : largest_(largest) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        return keyPicture(std::max(1, std::min(size.width(), size.height())));
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int side : {16, 24, 32, 48, 64, 128, 256}) {
            if (side <= largest_) {
                sizes << QSize(side, side);
            }
        }
        return sizes;
    }
    QIconEngine* clone() const override { return new KeyIconEngine(*this); }

private:
    int largest_;
};

}  // namespace

QIcon appIcon() {
    return QIcon(new KeyIconEngine(256));
}

QIcon appWindowIcon() {
    // X11 sends every size offered to the window manager at start-up; the
    // largest one alone would be three quarters of them.
    return QIcon(new KeyIconEngine(128));
}

}  // namespace quindorel

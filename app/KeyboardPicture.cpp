#include "app/KeyboardPicture.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include "app/KeyButton.h"
#include "app/KeyPictures.h"
#include "keys/KeyTable.h"

namespace quindorel {

namespace {

const QColor kBodyTop(0x3A, 0x6C, 0xC6);
const QColor kBodyBottom(0x1F, 0x46, 0x98);
const QColor kBodyEdge(0x14, 0x2F, 0x6A);
const QColor kKeyShadow(0x10, 0x26, 0x58);
const QColor kWhiteKey(0xFF, 0xFF, 0xFF);
const QColor kPaleBlueKey(0xC8, 0xDD, 0xFA);
const QColor kKeyOutline(0x6B, 0x8C, 0xC8);

void drawBody(QPainter& painter) {
    const QRectF body =
        QRectF(QPointF(0, 0), QSizeF(kKeyboardPictureSize)).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    shade.setColorAt(0.0, kBodyTop);
    shade.setColorAt(1.0, kBodyBottom);
    painter.setPen(QPen(kBodyEdge, 1.0));
    painter.setBrush(shade);
    painter.drawRoundedRect(body, 4.0, 4.0);
}

// The three lock lights above the numeric pad, Num Lock lit.
void drawLockLights(QPainter& painter) {
    const QRect numberLock = drawnKeyRect(84);
    const QRect subtract = drawnKeyRect(85);
    const int top = drawnKeyRect(0).top() + 6;
    const int step = (subtract.right() - numberLock.left()) / 3;
    for (int light = 0; light < 3; ++light) {
        const QRectF lamp(numberLock.left() + step / 2 + light * step - 3, top, 6, 6);
        painter.setPen(QPen(kBodyEdge, 1.0));
        painter.setBrush(light == 0 ? QColor(0x6C, 0xF0, 0x5A) : QColor(0x2A, 0x55, 0x38));
        painter.drawEllipse(lamp);
    }
}

// A drop shadow below the key's cap. It shows a pixel past the key's right
// and bottom edges, in the gap between keys.
void drawKeyShadow(QPainter& painter, int index) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kKeyShadow);
    painter.drawRoundedRect(QRectF(drawnKeyRect(index)).adjusted(0.5, 1.5, 0.5, 0.5), 2.0, 2.0);
}

// The cap with a lighter top face, within the key's own rectangle.
void drawKeyCap(QPainter& painter, int index) {
    const QRect key = drawnKeyRect(index);
    const QColor face = isCharacterKey(index) ? kWhiteKey : kPaleBlueKey;
    painter.setPen(QPen(kKeyOutline, 1.0));
    painter.setBrush(face.darker(112));
    painter.drawRoundedRect(QRectF(key).adjusted(0.5, 0.5, -0.5, -0.5), 2.0, 2.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(key).adjusted(2.0, 1.5, -2.0, -3.0), 1.5, 1.5);

    // Only the picture keys are ever uncovered (they hide while marked), so
    // only they carry a symbol; the other legends would be drawn for nothing.
    if (index == kLeftWindowsKey || index == kRightWindowsKey || index == kMenuKey) {
        const QPixmap symbol = index == kMenuKey ? menuListPicture() : windowFlagPicture();
        QRect place(QPoint(0, 0), symbol.size());
        place.moveCenter(key.center());
        painter.drawPixmap(place, symbol);
    }
}

}  // namespace

QRect keyboardPictureRect() {
    return QRect(QPoint(twips(kKeyboardPictureLeftTwips), twips(kKeyboardPictureTopTwips)),
                 kKeyboardPictureSize);
}

QRect drawnKeyRect(int index) {
    const KeyDefinition& key = keyTable().at(index);
    return twipsRect(key.left, key.top, key.width, key.height)
        .translated(-keyboardPictureRect().topLeft());
}

bool isCharacterKey(int index) {
    // The main block's characters (16-62 without Enter), the backslash, the
    // space bar and the numeric pad's digits and point.
    if (index >= 16 && index <= 62) {
        return index != 52;
    }
    switch (index) {
        case 65:
        case 86:
        case 87:
        case 88:
        case 90:
        case 91:
        case 92:
        case 93:
        case 94:
        case 95:
        case 97:
        case 98:
        case 99:
            return true;
        default:
            return false;
    }
}

void paintKeyboardPicture(QPainter& painter, const QRect& area,
                          const std::function<bool(int)>& covered) {
    painter.setRenderHint(QPainter::Antialiasing);
    drawBody(painter);
    drawLockLights(painter);
    // Shadows first, as each lies under the next key's cap. A key's shadow
    // shows in the gap beside its button; its cap shows only while the
    // button is away.
    for (int index = 0; index < kKeyCount; ++index) {
        if (area.intersects(drawnKeyRect(index).adjusted(0, 0, 1, 1))) {
            drawKeyShadow(painter, index);
        }
    }
    for (int index = 0; index < kKeyCount; ++index) {
        if (area.intersects(drawnKeyRect(index)) && !(covered && covered(index))) {
            drawKeyCap(painter, index);
        }
    }
}

QPixmap keyboardPicture() {
    QPixmap picture(kKeyboardPictureSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    paintKeyboardPicture(painter, picture.rect(), {});
    return picture;
}

void KeyboardPictureView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    paintKeyboardPicture(painter, event->rect(), [this](int index) {
        const KeyButton* button = keyButtons_[index];
        return button && button->isVisibleTo(parentWidget());
    });
}

}  // namespace quindorel

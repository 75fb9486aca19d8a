#pragma once

#include <QPixmap>
#include <QRect>
#include <QWidget>
#include <array>
#include <functional>

#include "keys/KeyTable.h"

class QPainter;

namespace quindorel {

class KeyButton;

// The keyboard picture (Image1) lies in the keyboard frame at this place, in
// twips; the key buttons stand on its drawn keys.
inline constexpr int kKeyboardPictureLeftTwips = 240;
inline constexpr int kKeyboardPictureTopTwips = 330;
inline constexpr QSize kKeyboardPictureSize(608, 143);

// Where the picture lies in the keyboard frame, in pixels.
QRect keyboardPictureRect();

// Where key `index` of the key table is drawn in the picture, in picture
// pixels: exactly under its key button.
QRect drawnKeyRect(int index);

// True for the keys drawn white (characters and the space bar); the others,
// function and control keys, are drawn pale blue.
bool isCharacterKey(int index);

// A full PC keyboard, white and pale-blue keys on a blue body, drawn at run
// time from the key table so every drawn key lines up with its button.
QPixmap keyboardPicture();

// Draws the part of the picture within `area` (picture pixels). A key for
// which `covered` is true has its button standing on it: only its shadow,
// which shows in the gap beside the button, is drawn.
void paintKeyboardPicture(QPainter& painter, const QRect& area,
                          const std::function<bool(int)>& covered);

// Shows the picture, drawn when painted rather than kept as an image: the
// key buttons cover nearly all of it and paint their own faces, so it is
// drawn about once, and an image of it would be a third of a megabyte held
// for nothing.
class KeyboardPictureView : public QWidget {
public:
    using QWidget::QWidget;

    // The buttons that stand on the drawn keys, by key index.
    void setKeyButtons(const std::array<KeyButton*, kKeyCount>& buttons) { keyButtons_ = buttons; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<KeyButton*, kKeyCount> keyButtons_{};
};

}  // namespace quindorel

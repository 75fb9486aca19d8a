#include "app/FrameStyle.h"

#include <QPainter>
#include <QStyleOption>

namespace quindorel {

namespace {
// How far the caption stands in from the frame's left edge.
constexpr int kCaptionIndent = 6;
// The caption's clear space on either side, where the line stops.
constexpr int kCaptionGap = 2;
}  // namespace

QRect FrameStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                 SubControl part, const QWidget* widget) const {
    QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
    if (control == CC_GroupBox && part == SC_GroupBoxLabel) {
        rect.moveTopLeft(option->rect.topLeft() + QPoint(kCaptionIndent + kCaptionGap, 0));
    }
    return rect;
}

void FrameStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                    QPainter* painter, const QWidget* widget) const {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !box) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect caption = subControlRect(CC_GroupBox, option, SC_GroupBoxLabel, widget);
    const int lineTop = box->text.isEmpty() ? 0 : caption.center().y();
    const QRect outer = option->rect.adjusted(0, lineTop, -2, -2);

    // An etched line: dark, with a light line one pixel below and right.
    painter->save();
    painter->setPen(option->palette.color(QPalette::Light));
    painter->drawRect(outer.translated(1, 1));
    painter->setPen(QColor(0xA0, 0xA0, 0xA0));
    painter->drawRect(outer);
    if (!box->text.isEmpty()) {
        painter->fillRect(caption.adjusted(-kCaptionGap, 0, kCaptionGap, 0),
                          option->palette.window());
    }
    painter->restore();

    QStyleOptionGroupBox withoutFrame = *box;
    withoutFrame.subControls &= ~SC_GroupBoxFrame;
    QProxyStyle::drawComplexControl(control, &withoutFrame, painter, widget);
}

}  // namespace quindorel

#pragma once

#include <QProxyStyle>

namespace quindorel {

// The look of the window's frames: a thin etched line with the caption set
// into its top edge, over the frame's own background and nothing else. The
// usual styles tint a group box's inside, which would show the white option
// buttons and labels as patches on a grey ground.
class FrameStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget = nullptr) const override;
};

}  // namespace quindorel

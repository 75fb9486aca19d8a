#pragma once

#include <QPushButton>
#include <QRgb>

namespace quindorel {

// One key of the on-screen keyboard: a flat button whose face is filled with
// its back colour, which is the key's mark (grey unmarked, green marked). A
// checkable key reports itself checked while marked, for screen readers; the
// colour stays the mark, and the checked state only follows it.
class KeyButton : public QPushButton {
    Q_OBJECT
public:
    static constexpr QRgb kUnmarked = 0xC0C0C0;
    static constexpr QRgb kMarked = 0x00FF00;

    KeyButton(int index, const QString& caption, const QString& tag, QWidget* parent = nullptr);

    int index() const { return index_; }
    // The key's Windows virtual-key code in decimal, as saved and pressed.
    const QString& tag() const { return tag_; }

    QRgb backColor() const { return backColor_; }
    void setBackColor(QRgb color);

protected:
    void paintEvent(QPaintEvent* event) override;
    // A click leaves the checked state alone: the mark's change sets it.
    void nextCheckState() override {}

private:
    int index_;
    QString tag_;
    QRgb backColor_ = kUnmarked;
};

}  // namespace quindorel

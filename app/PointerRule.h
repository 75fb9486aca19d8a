#pragma once

#include <QCursor>
#include <QObject>
#include <optional>

class QWidget;

namespace quindorel {

// The main window's mouse pointer: the arrow, the hourglass while the program
// is busy, or the custom pointer (the hand cursor when one was loaded). Hovering
// a watched control shows that control's pointer, unless the hourglass shows.
class PointerRule : public QObject {
    Q_OBJECT
public:
    enum Pointer { Default = 0, Hourglass = 11, Custom = 99 };

    explicit PointerRule(QWidget* form);

    void setCustomCursor(const QCursor& cursor) { customCursor_ = cursor; }
    bool hasCustomCursor() const { return customCursor_.has_value(); }

    Pointer pointer() const { return pointer_; }
    void setPointer(Pointer pointer);
    // The pointer that shows over `widget` when the mouse enters it.
    void watch(QWidget* widget, Pointer over);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* form_;
    Pointer pointer_ = Default;
    std::optional<QCursor> customCursor_;
};

}  // namespace quindorel

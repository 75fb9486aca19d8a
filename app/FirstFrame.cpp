#include "app/FirstFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace quindorel {

namespace {

// Long enough for any desktop to show a window; short enough that a window
// kept hidden still starts its hold and asks its questions.
constexpr int kLongestWaitMs = 2000;

class FirstFrameWatch : public QObject {
public:
    FirstFrameWatch(QWindow* window, std::function<void()> then)
        : QObject(window), then_(std::move(then)) {
        window->installEventFilter(this);
        QTimer::singleShot(kLongestWaitMs, this, [this] { run(); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            // Qt paints and flushes an expose before the event loop turns
            // again, so a call queued now comes after the frame.
            QMetaObject::invokeMethod(
                this, [this] { run(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void run() {
        if (!then_) {
            return;
        }
        const std::function<void()> then = std::exchange(then_, nullptr);
        deleteLater();
        then();
    }

    std::function<void()> then_;
};

}  // namespace

void whenFirstFrameShown(QWidget& window, std::function<void()> then) {
    window.winId();  // the native window, whose expose is watched
    new FirstFrameWatch(window.windowHandle(), std::move(then));
}

}  // namespace quindorel

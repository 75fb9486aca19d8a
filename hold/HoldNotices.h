#pragma once

#include <QObject>
#include <QString>

namespace quindorel {

// What the hold tells the window besides its state: the busy pointer while
// "Hold Now (Test)" runs, and a notice (a press waiting for the keyboard, the
// mouse buttons left up) that stays until the next pass clears it.
class HoldNotices : public QObject {
    Q_OBJECT
public:
    void setBusy(bool busy) { emit busyChanged(busy); }
    void show(const QString& text) {
        text_ = text;
        emit noticeChanged(text);
    }
    bool shown() const { return !text_.isEmpty(); }
    const QString& text() const { return text_; }

signals:
    void busyChanged(bool busy);
    // The notice to show; empty: none.
    void noticeChanged(const QString& text);

private:
    QString text_;
};

}  // namespace quindorel

// The least any window that looks like the program's can cost: a window of
// its size that draws its captions in its three faces, from one widget, with
// no control, picture, icon or list. Beside the minimal window it shows what
// the design's size and text alone cost Qt.
#include <QApplication>
#include <QPainter>
#include <QWidget>

#include "app/FormControls.h"
#include "hold/HoldModel.h"
#include "keys/KeyTable.h"

namespace {

// The window's captions other than the keys' and the hold rows', as they
// show at start.
constexpr const char* kWindowCaptions[] = {
    "Select One Application To Hold Into",
    "Refresh List",
    "Wait this amount of seconds before holding the key down",
    "Help",
    "How long would you like to hold the key down?",
    "Forever until Ctrl+Shift+S is pressed",
    "Hold for...",
    "Which keys would you like to hold down?",
    "Selected key = green",
    "Unselectled key = gray",
};
constexpr const char* kButtonCaptions[] = {"Reset (Unmark All Buttons)", "Turn On",
                                           "Hold Now (Test)"};

class CaptionsOnly : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        int top = 4;
        painter.setFont(quindorel::windowFont());
        for (const char* caption : kWindowCaptions) {
            painter.drawText(QRect(8, top, width() - 16, 18), Qt::AlignLeft | Qt::AlignVCenter,
                             QString::fromLatin1(caption));
            top += 18;
        }
        for (const QString& row : quindorel::HoldModel::holdRowCaptions()) {
            painter.drawText(QRect(8, top, width() - 16, 18), Qt::AlignLeft | Qt::AlignVCenter,
                             row);
            top += 18;
        }
        painter.setFont(quindorel::pushButtonFont());
        for (const char* caption : kButtonCaptions) {
            painter.drawText(QRect(8, top, width() - 16, 22), Qt::AlignCenter,
                             QString::fromLatin1(caption));
            top += 22;
        }
        // The keys at their places in the keyboard frame.
        painter.setFont(quindorel::keyFont());
        for (const quindorel::KeyDefinition& key : quindorel::keyTable()) {
            const QRect place(quindorel::twips(120 + key.left), quindorel::twips(5790 + key.top),
                              quindorel::twips(key.width), quindorel::twips(key.height));
            painter.drawText(place, Qt::AlignCenter | Qt::TextSingleLine,
                             QString::fromUtf8(key.caption));
        }
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    CaptionsOnly window;
    window.setWindowTitle(QStringLiteral("Captions only"));
    window.setFixedSize(656, 644);
    window.show();
    return application.exec();
}

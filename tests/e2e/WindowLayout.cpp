// Writes where the controls that the end-to-end scripts click and look at lie
// in the main window's client area, one tab-separated line each:
//   NAME CODE X Y WIDTH HEIGHT
// in pixels; a line for each on-screen key (NAME its spoken name, "A" or
// "Keypad Enter"; CODE its key code as saved) and one for the switch button
// (NAME "Switch", CODE "-"). The build runs it on Qt's offscreen platform:
//   e2e_window_layout FILE
// The places come from the window's own controls, so no script keeps a copy.
#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <QWidget>
#include <cstdio>

#include "app/FormControls.h"
#include "app/KeyButton.h"
#include "keys/KeyTable.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    QWidget form;
    const quindorel::FormControls controls = quindorel::buildFormControls(&form);
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "e2e_window_layout: cannot write %s\n", argv[1]);
        return 1;
    }
    QTextStream out(&file);
    const auto write = [&](const char* name, const QString& code, const QWidget* control) {
        const QPoint at = control->mapTo(&form, QPoint(0, 0));
        out << name << '\t' << code << '\t' << at.x() << '\t' << at.y() << '\t' << control->width()
            << '\t' << control->height() << '\n';
    };
    out << "# name\tcode\tx\ty\twidth\theight, in pixels of the main window's client area\n";
    for (int i = 0; i < quindorel::kKeyCount; ++i) {
        const quindorel::KeyButton* key = controls.keyButtons[static_cast<std::size_t>(i)];
        write(quindorel::keyTable()[static_cast<std::size_t>(i)].spokenName, key->tag(), key);
    }
    write("Switch", QStringLiteral("-"), controls.switchButton);
    out.flush();
    return out.status() == QTextStream::Ok && file.error() == QFile::NoError ? 0 : 1;
}

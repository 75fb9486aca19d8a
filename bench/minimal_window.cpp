// The smallest Qt Widgets program that shows a painted window with text: the
// yardstick for the program's start-up time and memory.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal Qt window"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("A label with some text in it")));
    layout->addWidget(new QPushButton(QStringLiteral("A button")));
    window.show();
    return application.exec();
}

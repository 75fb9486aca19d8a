#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>

#include "app/KeyButton.h"
#include "app/MainWindow.h"
#include "hold/HoldModel.h"
#include "platform/fake/FakePlatform.h"

namespace quindorel::testing {

// A main window on the fake platform, with its own temporary folder (TEMP)
// and program folder.
struct Fixture {
    QTemporaryDir temp;
    QTemporaryDir program;
    FakePlatform platform;
    std::unique_ptr<MainWindow> window;

    // The program ships an empty key set beside itself.
    Fixture() {
        qputenv("TEMP", temp.path().toLocal8Bit());
        writeFile(program.filePath(QStringLiteral("xsettings.txt")), "\r\n");
    }
    ~Fixture() { window.reset(); }

    MainWindow& make() {
        window = std::make_unique<MainWindow>(platform, program.path());
        return *window;
    }
    MainWindow& start() {
        make();
        window->formLoad();
        window->formShown();
        return *window;
    }

    // The model the window shows, and the user's actions as the window
    // forwards them to it.
    HoldModel& model() { return window->model(); }
    void turnSwitch() { model().turnSwitch(); }
    bool switchOn() { return model().choices.switchOn(); }
    void chooseMode(UserChoices::Mode mode) { model().chooseMode(mode); }
    void chooseHoldRow(int row) { model().chooseHoldRow(row); }

    FakeClock& waitClock() { return *platform.clocks.at(0); }
    FakeClock& holdClock() { return *platform.clocks.at(1); }
    FakeClock& stopKeyClock() { return *platform.clocks.at(2); }
    FakeDesktop& desktop() { return platform.fakeDesktop; }
    const FormControls& controls() { return window->controls(); }
    KeyButton* key(int index) { return controls().keyButtons.at(static_cast<std::size_t>(index)); }

    void addWindow(WindowId id, const std::string& title, bool visible = true, bool owned = false) {
        desktop().windows.push_back({id, title, visible, owned});
    }

    QString keySetPath() const { return temp.filePath(QStringLiteral("xsettings.txt")); }
    QByteArray keySetBytes() const {
        QFile file(keySetPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void writeFile(const QString& path, const QByteArray& bytes) const {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    void writeKeySet(const QByteArray& bytes) const { writeFile(keySetPath(), bytes); }

    // Indices of the green keys.
    QList<int> markedKeys() {
        QList<int> marked;
        for (int i = 0; i < kKeyCount; ++i) {
            if (key(i)->backColor() == KeyButton::kMarked) {
                marked << i;
            }
        }
        return marked;
    }
    // The line numbers quoted by the error reports shown so far.
    QList<int> reportedLines() const {
        QList<int> lines;
        for (const auto& message : platform.messages) {
            const int at = message.text.indexOf(QLatin1String("at line "));
            if (at >= 0) {
                lines << message.text.mid(at + 8).section(QLatin1Char('\r'), 0, 0).toInt();
            }
        }
        return lines;
    }
};

}  // namespace quindorel::testing

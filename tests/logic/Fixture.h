#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "common/ErrorTrap.h"
#include "hold/HoldModel.h"
#include "platform/fake/FakePlatform.h"

namespace quindorel::testing {

// A hold model on the fake platform, with its own temporary folder (TEMP)
// and program folder, as the program builds it without a window.
struct Fixture {
    static constexpr WindowId kOwnWindow = 900;  // the window that would show the model

    QTemporaryDir temp;
    QTemporaryDir program;
    QString programFolder = program.path();
    FakePlatform platform;
    std::unique_ptr<HoldModel> ownModel;
    HoldModel* shown = nullptr;
    QString notice;  // what the window would show while a press waits
    bool busy = false;
    QList<bool> busyChanges;

    // The program ships an empty key set beside itself.
    Fixture() {
        qputenv("TEMP", temp.path().toLocal8Bit());
        writeFile(program.filePath(QStringLiteral("xsettings.txt")), "\r\n");
    }
    virtual ~Fixture() = default;

    HoldModel& make() {
        ownModel = std::make_unique<HoldModel>(platform, programFolder);
        watch(*ownModel);
        return *ownModel;
    }
    // Start-up as the window runs it: the load, then what needs the window shown.
    HoldModel& start() {
        make();
        load();
        loadShown();
        return model();
    }
    void load() {
        ErrorTrap trap(platform, QStringLiteral("Form1.Form_Load"));
        model().load(trap, kOwnWindow);
    }
    void loadShown() {
        ErrorTrap trap(platform, QStringLiteral("Form1.Form_Load"));
        model().loadShown(trap);
    }
    // The program ends.
    void close() { model().releaseHeldKeys(); }

    HoldModel& model() { return *shown; }
    void turnSwitch() { model().turnSwitch(); }
    bool switchOn() { return model().choices().switchOn(); }
    void chooseMode(UserChoices::Mode mode) { model().chooseMode(mode); }
    void chooseHoldRow(int row) { model().chooseHoldRow(row); }

    FakeClock& waitClock() { return *platform.clocks.at(0); }
    FakeClock& holdClock() { return *platform.clocks.at(1); }
    FakeClock& stopKeyClock() { return *platform.clocks.at(2); }
    FakeClock& focusClock() { return *platform.clocks.at(3); }
    FakeDesktop& desktop() { return platform.fakeDesktop; }

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

    // Indices of the marked keys.
    QList<int> markedKeys() {
        QList<int> marked;
        for (int i = 0; i < kKeyCount; ++i) {
            if (model().marks().marked(i)) {
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

protected:
    void watch(HoldModel& model) {
        shown = &model;
        QObject::connect(&model.notices(), &HoldNotices::noticeChanged,
                         [this](const QString& text) { notice = text; });
        QObject::connect(&model.notices(), &HoldNotices::busyChanged, [this](bool on) {
            busy = on;
            busyChanges << on;
        });
    }
};

}  // namespace quindorel::testing

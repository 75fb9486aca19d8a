#include <QtTest>

#include "platform/JointDesktop.h"
#include "platform/fake/FakeDesktop.h"

using namespace quindorel;

// An X11 desktop (Game 5, Quindorel 7) and a compositor that lists the same
// two Xwayland windows beside two native ones (Browser -3, Editor -4).
class JointDesktopTest : public QObject {
    Q_OBJECT
    FakeDesktop* x11_ = nullptr;
    FakeDesktop* native_ = nullptr;
    std::unique_ptr<JointDesktop> joint_;

private slots:
    void init() {
        auto x11 = std::make_unique<FakeDesktop>();
        auto native = std::make_unique<FakeDesktop>();
        x11->windows = {{5, "Game", true, false}, {7, "Quindorel", true, true}};
        native->windows = {{-1, "Game", true, false},
                           {-2, "Quindorel", true, false},
                           {-3, "Browser", true, false},
                           {-4, "Editor", true, false}};
        x11_ = x11.get();
        native_ = native.get();
        joint_ = std::make_unique<JointDesktop>(std::move(x11), std::move(native));
    }

    void eachWindowIsListedOnce() {
        QStringList listed;
        for (const TopLevelWindow& window : joint_->topLevelWindows()) {
            listed << QStringLiteral("%1 %2").arg(window.id).arg(
                QString::fromStdString(window.title));
        }
        QCOMPARE(listed, QStringList({"5 Game", "7 Quindorel", "-3 Browser", "-4 Editor"}));
    }

    void theWindowInFront_data() {
        QTest::addColumn<int>("nativeInFront");
        QTest::addColumn<int>("expected");
        QTest::newRow("a native window") << -3 << -3;
        QTest::newRow("an Xwayland window: X11 says which") << -1 << 5;
        QTest::newRow("none of the compositor's") << 0 << 5;
    }
    void theWindowInFront() {
        QFETCH(int, nativeInFront);
        QFETCH(int, expected);
        native_->inFront = nativeInFront;
        x11_->inFront = 5;
        QCOMPARE(joint_->activeWindow(), expected);
    }

    // GNOME tells no native window: when no X11 window has the keyboard,
    // one of its native windows has, unless ours does.
    void aDesktopThatTellsNoWindowOffersTheOneInFront_data() {
        QTest::addColumn<int>("x11InFront");
        QTest::addColumn<bool>("ownInFront");
        QTest::addColumn<int>("expected");
        QTest::newRow("a native window") << 0 << false << kWindowInFront;
        QTest::newRow("ours") << 0 << true << 0;
        QTest::newRow("an X11 window") << 5 << false << 5;
    }
    void aDesktopThatTellsNoWindowOffersTheOneInFront() {
        QFETCH(int, x11InFront);
        QFETCH(bool, ownInFront);
        QFETCH(int, expected);
        native_->windows = {{kWindowInFront, "(the window in front)", true, false}};
        x11_->inFront = x11InFront;
        x11_->ownWindowFocused = ownInFront;
        QCOMPARE(joint_->activeWindow(), expected);
        native_->denyKeys = "not allowed";
        joint_->showWindow(kWindowInFront);
        const KeySendResult sent = joint_->sendKeys({{65, true}});
        QCOMPARE(sent.outcome, KeySendOutcome::Denied);
        QCOMPARE(sent.why, std::string("not allowed"));
    }

    void aNativeWindowInFrontHasTheKeyboardBeforeXwaylandKnows() {
        x11_->ownWindowFocused = true;
        native_->inFront = -1;  // Xwayland's own window: X11 says
        QVERIFY(joint_->ownWindowHasKeyboard());
        native_->inFront = -3;
        QVERIFY(!joint_->ownWindowHasKeyboard());
    }

    // Keys go the way of the window aimed at; a key-up the way its key-down
    // went, though another window was aimed at in between.
    void keysFollowTheirWay() {
        joint_->showWindow(-3);
        const KeySendResult native = joint_->sendKeys({{65, true}, {16, true}});
        joint_->showWindow(5);
        const KeySendResult x11 = joint_->sendKeys({{66, true}});
        joint_->sendKeys({{66, false, x11.keys.at(0)},
                          {65, false, native.keys.at(0)},
                          {16, false, native.keys.at(1)}});
        QCOMPARE(native_->keyCalls(), QStringList({"down 65", "down 16", "up 65", "up 16"}));
        QCOMPARE(x11_->keyCalls(), QStringList({"down 66", "up 66"}));
        QVERIFY(*native.keys.at(0) != 65);  // marked as the native way's
    }

    // Sway turns down Xwayland's activation requests but grants its own list's.
    void anX11WindowIsAlsoBroughtForwardByTheCompositor() {
        joint_->showWindow(5);
        QCOMPARE(native_->calls, QStringList({"topmost -1"}));
        QCOMPARE(x11_->calls, QStringList({"show 5"}));
        native_->calls.clear();
        native_->windows.push_back({-5, "Game", true, false});
        joint_->showWindow(5);
        QCOMPARE(native_->calls, QStringList());  // two "Game"s: neither is raised
    }

    // Where the compositor says what its windows are, titles say nothing:
    // two X11 "Game"s (5, 9) and a native one (-6) beside their entries.
    void lookAlikesAreToldApartByWhatTheCompositorSays() {
        x11_->windows = {{5, "Game", true, false}, {9, "Game", true, false}};
        native_->windows = {{-1, "Game", true, false, WindowKind::Xwayland, 5},
                            {-5, "Game", true, false, WindowKind::Xwayland, 9},
                            {-6, "Game", true, false, WindowKind::Native}};
        QCOMPARE(joint_->topLevelWindows().back().id, -6);
        QCOMPARE(joint_->topLevelWindows().size(), std::size_t(3));
        joint_->showWindow(9);
        QCOMPARE(native_->calls, QStringList({"topmost -5"}));
    }
};

QTEST_GUILESS_MAIN(JointDesktopTest)
#include "JointDesktopTest.moc"

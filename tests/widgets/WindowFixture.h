#pragma once

#include <memory>

#include "app/KeyButton.h"
#include "app/MainWindow.h"
#include "logic/Fixture.h"

namespace quindorel::testing {

// The program's window on the fake platform, showing the model over the same
// folders as the model fixture.
struct WindowFixture : Fixture {
    std::unique_ptr<MainWindow> window;

    ~WindowFixture() override { window.reset(); }

    MainWindow& make() {
        window = std::make_unique<MainWindow>(platform, programFolder);
        shown = &window->model();
        return *window;
    }
    MainWindow& start() {
        make();
        window->formLoad();
        window->formShown();
        return *window;
    }

    const FormControls& controls() { return window->controls(); }
    KeyButton* key(int index) { return controls().keyButtons.at(static_cast<std::size_t>(index)); }
    // Indices of the green keys.
    QList<int> greenKeys() {
        QList<int> green;
        for (int i = 0; i < kKeyCount; ++i) {
            if (key(i)->backColor() == KeyButton::kMarked) {
                green << i;
            }
        }
        return green;
    }
};

}  // namespace quindorel::testing

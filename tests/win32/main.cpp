// The Windows back end against a real (or Wine's) user32.

#include "Tests.h"

int main() {
    using namespace quindorel::test;
    TestRunner runner;
    addKeyInputCodeTests(runner);
    addWindowWalkTests(runner);
    addPlacementTests(runner);
    addKeyInjectionTests(runner);
    addHotKeyTests(runner);
    addRegistryTests(runner);
    addKeyGuardTests(runner);
    addPipeTests(runner);
    return runner.run();
}

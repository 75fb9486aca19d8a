#pragma once

#include "TestRunner.h"

namespace quindorel::test {

void addKeyInputCodeTests(TestRunner& runner);
void addWindowWalkTests(TestRunner& runner);
void addPlacementTests(TestRunner& runner);
void addKeyInjectionTests(TestRunner& runner);
void addHotKeyTests(TestRunner& runner);
void addRegistryTests(TestRunner& runner);
void addKeyGuardTests(TestRunner& runner);
void addPipeTests(TestRunner& runner);

}  // namespace quindorel::test

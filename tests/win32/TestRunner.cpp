#include "TestRunner.h"

#include <cstdio>
#include <exception>

namespace quindorel::test {

void TestContext::expect(bool condition, const std::string& what) {
    if (!condition) {
        failures_.push_back(what);
    }
}

void TestRunner::add(std::string name, Case body) {
    cases_.push_back({std::move(name), std::move(body)});
}

int TestRunner::run() {
    int passed = 0;
    int failed = 0;
    for (const NamedCase& testCase : cases_) {
        TestContext context;
        try {
            testCase.body(context);
        } catch (const std::exception& error) {
            context.expect(false, std::string("exception: ") + error.what());
        }
        if (context.failures().empty()) {
            ++passed;
            std::printf("PASS %s\n", testCase.name.c_str());
        } else {
            ++failed;
            std::printf("FAIL %s\n", testCase.name.c_str());
            for (const std::string& failure : context.failures()) {
                std::printf("    %s\n", failure.c_str());
            }
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    return failed == 0 ? 0 : 1;
}

}  // namespace quindorel::test

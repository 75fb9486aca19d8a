#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quindorel::test {

// What one case found wrong; a case passes when it records nothing.
class TestContext {
public:
    void expect(bool condition, const std::string& what);
    const std::vector<std::string>& failures() const { return failures_; }

private:
    std::vector<std::string> failures_;
};

// Runs named cases in the order they were added, one line of output each,
// and closes with "N passed, M failed".
class TestRunner {
public:
    using Case = std::function<void(TestContext&)>;

    void add(std::string name, Case body);
    // Returns the process exit code: 0 when every case passed.
    int run();

private:
    struct NamedCase {
        std::string name;
        Case body;
    };
    std::vector<NamedCase> cases_;
};

}  // namespace quindorel::test

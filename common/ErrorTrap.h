#pragma once

#include <QString>
#include <functional>

namespace quindorel {

class ReportDisplay;

// The error trap of a procedure: runs its numbered statements one by one. A
// statement that fails is reported in a modal box naming the procedure and the
// statement's line number; the procedure then goes on with the next statement.
// A failing `If` condition enters the `If`, as the classic runtime does.
class ErrorTrap {
public:
    // procedure: "Form1.HoldKeys", "mProcess.getAllWindows", ...
    ErrorTrap(ReportDisplay& display, const QString& procedure);

    // Runs one statement. Returns false when it failed (and was reported).
    bool run(int line, const std::function<void()>& statement);

    // Evaluates the condition of an `If`. A failing condition is reported and
    // counts as true, so execution continues inside the `If`.
    bool test(int line, const std::function<bool()>& condition);

    // Marks `line` as reached without running anything (labels, loop heads).
    void reach(int line) { lastLine_ = line; }

    int reportCount() const { return reportCount_; }

    // The full report text for a failure, exactly as shown to the user.
    static QString reportText(const QString& description, const QString& procedure, int line);
    static QString locationText(const QString& procedure);
    static const QString& reportTitle();

private:
    void report(const QString& description);

    ReportDisplay& display_;
    QString procedure_;
    int lastLine_ = 0;
    int reportCount_ = 0;
};

}  // namespace quindorel

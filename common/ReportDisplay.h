#pragma once

#include <QString>

namespace quindorel {

// Where the error trap shows its reports: a modal box on the real system, a
// record in tests. The platform implements it, so the trap depends on nothing
// above common/.
class ReportDisplay {
public:
    virtual ~ReportDisplay() = default;
    // Shows `text` under `title` with the warning icon and waits for OK.
    virtual void showReport(const QString& text, const QString& title) = 0;
};

}  // namespace quindorel

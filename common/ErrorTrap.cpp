#include "common/ErrorTrap.h"

#include <exception>

#include "common/ReportDisplay.h"
#include "common/RuntimeError.h"
#include "common/SupportContact.h"

namespace quindorel {

ErrorTrap::ErrorTrap(ReportDisplay& display, const QString& procedure)
    : display_(display), procedure_(procedure) {}

bool ErrorTrap::run(int line, const std::function<void()>& statement) {
    lastLine_ = line;
    try {
        statement();
        return true;
    } catch (const RuntimeError& error) {
        report(error.description());
    } catch (const std::exception& error) {
        // Anything else that escapes a statement is still only that statement's failure.
        report(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

bool ErrorTrap::test(int line, const std::function<bool()>& condition) {
    bool result = true;
    run(line, [&] { result = condition(); });
    return result;
}

void ErrorTrap::report(const QString& description) {
    ++reportCount_;
    display_.showReport(reportText(description, procedure_, lastLine_), reportTitle());
}

QString ErrorTrap::locationText(const QString& procedure) {
    return QStringLiteral("in Velmorquist2021/08/31.") + procedure + QLatin1Char(' ');
}

const QString& ErrorTrap::reportTitle() {
    static const QString title = QStringLiteral("Application Error");
    return title;
}

QString ErrorTrap::reportText(const QString& description, const QString& procedure, int line) {
    return description + QStringLiteral("\r\n") + locationText(procedure) +
           QStringLiteral("at line ") + QString::number(line) + QStringLiteral("\r\r") +
           QStringLiteral("Please email screenshot of this message to ") +
           QString::fromLatin1(kSupportAddress);
}

}  // namespace quindorel

#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace quindorel {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the event loop, so that the
// program can let go of held keys before it ends. POSIX only; elsewhere inert.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;

    // Ends the process without unwinding (no destructors, no event loops).
    [[noreturn]] static void endNow(int status);
    // Ends the process without unwinding `seconds` from now, should it still
    // run: a bound on the clean-up at the end. POSIX only.
    static void endWithin(unsigned seconds);

private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quindorel

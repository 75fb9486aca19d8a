#pragma once

#include <QObject>

#include "hold/UserChoices.h"
#include "targets/TargetRows.h"

namespace quindorel {

struct FormControls;

// Keeps the hold's controls and the state behind them in step: paints every
// change of the choices and the application rows, and writes what the user
// does to a control back into them before any handler reads it.
class ChoicesView : public QObject {
public:
    ChoicesView(const FormControls& controls, UserChoices& choices, TargetRows& targets,
                QObject* parent);

    // Reads back the selected "Hold for..." row, for handlers that run
    // before the list's own selection signal.
    void takeHoldRow();

private:
    void paint(UserChoices::Part part);
    void paintTargets(bool rows);
    void takeMode();
    void takeTargetRow();

    const FormControls& controls_;
    UserChoices& choices_;
    TargetRows& targets_;
    bool painting_ = false;  // a control changed by painting is not read back
};

}  // namespace quindorel

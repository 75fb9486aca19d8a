#pragma once

#include <QObject>

#include "hold/UserChoices.h"

namespace quindorel {

class HoldModel;
struct FormControls;

// Keeps the hold's controls and the model in step: paints every change of
// the choices and the application rows, and passes what the user does to
// these controls on to the model as its verbs.
class ChoicesView : public QObject {
public:
    ChoicesView(const FormControls& controls, HoldModel& model, QObject* parent);

private:
    void paint(UserChoices::Part part);
    void paintTargets(bool rows);
    void chooseMode();
    void chooseHoldRow();

    const FormControls& controls_;
    HoldModel& model_;
    bool painting_ = false;  // a control changed by painting is not read back
};

}  // namespace quindorel

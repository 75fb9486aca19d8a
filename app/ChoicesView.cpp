#include "app/ChoicesView.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "app/FormControls.h"
#include "hold/Durations.h"

namespace quindorel {

namespace {

// Runs `paint` with `flag` set, so that the signals it causes are not read back.
template <typename F>
void guarded(bool& flag, F paint) {
    const bool was = flag;
    flag = true;
    paint();
    flag = was;
}

int selectedIndex(const QTreeWidget* list) {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.first());
}

void select(QTreeWidget* list, int row) {
    if (row < 0) {
        list->clearSelection();
    } else if (selectedIndex(list) != row) {
        list->setCurrentItem(list->topLevelItem(row));
    }
}

}  // namespace

ChoicesView::ChoicesView(const FormControls& controls, UserChoices& choices, TargetRows& targets,
                         QObject* parent)
    : QObject(parent), controls_(controls), choices_(choices), targets_(targets) {
    // The field's designed text stands until the saved one is restored.
    choices_.setWaitText(controls_.waitField->text());
    choices_.addObserver([this](UserChoices::Part part) { paint(part); });
    targets_.addObserver([this](bool rows) { paintTargets(rows); });

    // Connected before the window's handlers, so these run first.
    connect(controls_.foreverOption, &QRadioButton::toggled, this, [this] { takeMode(); });
    connect(controls_.timedOption, &QRadioButton::toggled, this, [this] { takeMode(); });
    connect(controls_.waitField, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!painting_) {
            choices_.setWaitText(text);
        }
    });
    connect(controls_.holdList, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!painting_) {
            takeHoldRow();
        }
    });
    connect(controls_.appList, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!painting_) {
            takeTargetRow();
        }
    });
}

void ChoicesView::takeHoldRow() {
    guarded(painting_, [&] { choices_.setHoldRow(selectedIndex(controls_.holdList)); });
}

void ChoicesView::takeTargetRow() {
    guarded(painting_, [&] { targets_.select(selectedIndex(controls_.appList)); });
}

void ChoicesView::takeMode() {
    if (painting_) {
        return;
    }
    UserChoices::Mode mode = UserChoices::Mode::Neither;
    if (controls_.foreverOption->isChecked()) {
        mode = UserChoices::Mode::UntilStopKey;
    } else if (controls_.timedOption->isChecked()) {
        mode = UserChoices::Mode::Timed;
    }
    guarded(painting_, [&] { choices_.setMode(mode); });
}

void ChoicesView::paint(UserChoices::Part part) {
    if (painting_) {
        return;  // the change came from the control itself
    }
    guarded(painting_, [&] {
        const FormControls& c = controls_;
        switch (part) {
            case UserChoices::Part::Mode:
                c.foreverOption->setChecked(choices_.mode() == UserChoices::Mode::UntilStopKey);
                c.timedOption->setChecked(choices_.mode() == UserChoices::Mode::Timed);
                break;
            case UserChoices::Part::Switch:
                c.switchButton->setText(choices_.switchOn() ? QStringLiteral("Turn Off")
                                                            : QStringLiteral("Turn On"));
                break;
            case UserChoices::Part::WaitText:
                // The window's own handler of the field still saves the new text.
                c.waitField->setText(choices_.waitText());
                break;
            case UserChoices::Part::HoldRows:
                while (c.holdList->topLevelItemCount() < choices_.holdRowCount()) {
                    const int row = c.holdList->topLevelItemCount();
                    new QTreeWidgetItem(c.holdList, QStringList{Durations::kRows.value(row)});
                }
                while (c.holdList->topLevelItemCount() > choices_.holdRowCount()) {
                    delete c.holdList->takeTopLevelItem(c.holdList->topLevelItemCount() - 1);
                }
                break;
            case UserChoices::Part::HoldRow:
                select(c.holdList, choices_.holdRow());
                break;
            case UserChoices::Part::HoldListEnabled:
                c.holdList->setEnabled(choices_.holdListEnabled());
                break;
        }
    });
}

void ChoicesView::paintTargets(bool rows) {
    if (painting_) {
        return;  // the change came from the list itself
    }
    guarded(painting_, [&] {
        QTreeWidget* list = controls_.appList;
        if (rows) {
            list->clear();
            QList<QTreeWidgetItem*> items;
            items.reserve(static_cast<qsizetype>(targets_.rows().size()));
            for (const TargetRows::Row& row : targets_.rows()) {
                items.append(
                    new QTreeWidgetItem(QStringList{row.title, QString::number(row.handle)}));
            }
            list->addTopLevelItems(items);
        }
        select(list, targets_.selected());
    });
}

}  // namespace quindorel

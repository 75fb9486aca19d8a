#include "app/ChoicesView.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "app/FormControls.h"
#include "hold/HoldModel.h"

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

ChoicesView::ChoicesView(const FormControls& controls, HoldModel& model, QObject* parent)
    : QObject(parent), controls_(controls), model_(model) {
    connect(&model_.choices(), &UserChoices::changed, this,
            [this](UserChoices::Part part) { paint(part); });
    connect(&model_.targets(), &TargetRows::changed, this,
            [this](bool rows) { paintTargets(rows); });

    for (QRadioButton* option : {controls_.foreverOption, controls_.timedOption}) {
        connect(option, &QRadioButton::clicked, this, [this] { chooseMode(); });
    }
    connect(controls_.waitField, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!painting_) {
            model_.typeWaitTime(text);
        }
    });
    connect(controls_.holdList, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!painting_) {
            guarded(painting_, [&] { model_.selectHoldRow(selectedIndex(controls_.holdList)); });
        }
    });
    connect(controls_.holdList, &QTreeWidget::itemClicked, this, [this] { chooseHoldRow(); });
    // A row chosen with the keyboard counts as a click too.
    connect(controls_.holdList, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                if (current != nullptr && previous != nullptr && controls_.holdList->hasFocus() &&
                    QGuiApplication::mouseButtons() == Qt::NoButton) {
                    chooseHoldRow();
                }
            });
    // Ctrl+click or Ctrl+Space would leave "Hold for..." without a row, and
    // a timed hold without a length; the row under the cursor stays chosen.
    connect(controls_.holdList, &QTreeWidget::itemSelectionChanged, this, [this] {
        QTreeWidget* list = controls_.holdList;
        if (list->selectedItems().isEmpty() && list->currentItem() != nullptr) {
            list->currentItem()->setSelected(true);
        }
    });
    connect(controls_.appList, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!painting_) {
            guarded(painting_, [&] { model_.chooseTarget(selectedIndex(controls_.appList)); });
        }
    });
}

void ChoicesView::chooseHoldRow() {
    model_.chooseHoldRow(selectedIndex(controls_.holdList));
}

void ChoicesView::chooseMode() {
    if (controls_.foreverOption->isChecked()) {
        model_.chooseMode(UserChoices::Mode::UntilStopKey);
    } else if (controls_.timedOption->isChecked()) {
        model_.chooseMode(UserChoices::Mode::Timed);
    }
}

void ChoicesView::paint(UserChoices::Part part) {
    if (painting_) {
        return;  // the change came from the control itself
    }
    guarded(painting_, [&] {
        const FormControls& c = controls_;
        switch (part) {
            case UserChoices::Part::Mode:
                c.foreverOption->setChecked(model_.choices().mode() ==
                                            UserChoices::Mode::UntilStopKey);
                c.timedOption->setChecked(model_.choices().mode() == UserChoices::Mode::Timed);
                break;
            case UserChoices::Part::Switch:
                c.switchButton->setText(model_.choices().switchOn() ? QStringLiteral("Turn Off")
                                                                    : QStringLiteral("Turn On"));
                break;
            case UserChoices::Part::WaitText:
                c.waitField->setText(model_.choices().waitText());
                break;
            case UserChoices::Part::HoldRows:
                while (c.holdList->topLevelItemCount() < model_.choices().holdRowCount()) {
                    const int row = c.holdList->topLevelItemCount();
                    new QTreeWidgetItem(c.holdList,
                                        QStringList{HoldModel::holdRowCaptions().value(row)});
                }
                while (c.holdList->topLevelItemCount() > model_.choices().holdRowCount()) {
                    delete c.holdList->takeTopLevelItem(c.holdList->topLevelItemCount() - 1);
                }
                break;
            case UserChoices::Part::HoldRow:
                select(c.holdList, model_.choices().holdRow());
                break;
            case UserChoices::Part::HoldListEnabled:
                c.holdList->setEnabled(model_.choices().holdListEnabled());
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
            items.reserve(static_cast<qsizetype>(model_.targets().rows().size()));
            for (const TargetRows::Row& row : model_.targets().rows()) {
                items.append(
                    new QTreeWidgetItem(QStringList{row.title, QString::number(row.handle)}));
            }
            list->addTopLevelItems(items);
        }
        select(list, model_.targets().selected());
    });
}

}  // namespace quindorel

// Placeholder until the designed layout lands.
#include "app/FormControls.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "keys/KeyButton.h"

namespace quindorel {

FormControls buildFormControls(QWidget* form) {
    FormControls c;
    c.form = form;
    form->setFixedSize(656, 644);
    c.listView1 = new QTreeWidget(form);
    c.pushButton1 = new QPushButton(QStringLiteral("Refresh List"), form);
    c.frame1 = new QGroupBox(form);
    c.text1 = new QLineEdit(c.frame1);
    c.pushButton3 = new QPushButton(QStringLiteral("Help"), c.frame1);
    c.frame3 = new QGroupBox(form);
    c.option1 = new QRadioButton(c.frame3);
    c.option2 = new QRadioButton(c.frame3);
    c.listView2 = new QTreeWidget(c.frame3);
    c.frame4 = new QGroupBox(form);
    c.image1 = new QLabel(c.frame4);
    c.keyGroup = new QButtonGroup(form);
    c.keyGroup->setExclusive(false);
    for (int i = 0; i < kKeyCount; ++i) {
        const KeyDefinition& key = keyTable()[i];
        c.cmdKey[i] = new KeyButton(i, QString::fromUtf8(key.caption), QString::number(key.code), c.frame4);
        c.cmdKey[i]->setToolTip(QString::fromUtf8(key.toolTip));
        c.keyGroup->addButton(c.cmdKey[i], i);
    }
    c.pushButton6 = new QPushButton(QStringLiteral("Reset (Unmark All Buttons)"), c.frame4);
    c.pushButton5 = new QPushButton(QStringLiteral("Mark All Buttons"), c.frame4);
    c.pushButton5->setVisible(false);
    c.label1 = new QLabel(c.frame4);
    c.label2 = new QLabel(c.frame4);
    c.pushButton4 = new QPushButton(QStringLiteral("Turn On"), form);
    c.pushButton2 = new QPushButton(QStringLiteral("Hold Now (Test)"), form);
    return c;
}

}  // namespace quindorel

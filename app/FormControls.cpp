#include "app/FormControls.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>

#include "app/DesignColours.h"
#include "app/FrameStyle.h"
#include "app/KeyPictures.h"
#include "app/KeyboardPicture.h"
#include "app/ReaderView.h"
#include "keys/KeyButton.h"

namespace quindorel {

namespace {

// The window's client area, in twips: 656 x 644 pixels.
constexpr int kClientWidthTwips = 9840;
constexpr int kClientHeightTwips = 9660;

// Fonts are given in pixels so the window looks the same at any screen dpi:
// 9 pt = 12 px, 8.25 pt = 11 px and 11.25 pt = 15 px at 96 dpi.
QFont designedFont(const QString& family, int pixelSize, bool bold) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
QFont windowFont() {
    return designedFont(QStringLiteral("Arial"), 12, true);
}
QFont pushButtonFont() {
    return designedFont(QStringLiteral("Arial"), 15, true);
}
QFont keyFont() {
    return designedFont(QStringLiteral("Arial Narrow"), 11, false);
}

// White on the window role for every kind of control, so one palette colour
// (the one a skin would change) paints them all.
void paintWhite(QWidget* widget) {
    widget->setBackgroundRole(QPalette::Window);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Names the parts a control is built of after it, where Qt leaves them
// unnamed: testers' tools find a control by the chain of names down to it.
void nameParts(QWidget* control) {
    for (QWidget* part : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (part->objectName().isEmpty()) {
            QString kind = QString::fromLatin1(part->metaObject()->className()).mid(1);
            if (auto* bar = qobject_cast<QScrollBar*>(part)) {
                kind.prepend(bar->orientation() == Qt::Horizontal ? "Horizontal" : "Vertical");
            }
            part->setObjectName(control->objectName() + QLatin1Char('_') + kind);
        }
        nameParts(part);
    }
}

// Names the control after its design and puts it at its designed place,
// given in twips from its container's top-left corner.
template <typename Control>
Control* place(Control* control, const char* name, int left, int top, int width, int height) {
    control->setObjectName(QString::fromLatin1(name));
    nameParts(control);
    control->setGeometry(twipsRect(left, top, width, height));
    return control;
}

QPushButton* makePushButton(QWidget* parent, const char* caption) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setFont(pushButtonFont());
    return button;
}

QGroupBox* makeFrame(QWidget* parent, const char* caption) {
    auto* frame = new QGroupBox(QString::fromLatin1(caption), parent);
    // One frame style for the window, owned by it; frames hold styles weakly.
    QWidget* form = parent->window();
    auto* style = form->findChild<FrameStyle*>(QString(), Qt::FindDirectChildrenOnly);
    if (!style) {
        style = new FrameStyle;
        style->setParent(form);
    }
    frame->setStyle(style);
    paintWhite(frame);
    return frame;
}

// A report-style list; its columns and rows are added at start-up.
QTreeWidget* makeList(QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setFont(windowFont());
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setColumnCount(0);
    list->header()->setVisible(true);
    list->header()->setSectionsMovable(false);
    // A compact header, as the classic list view has, so that the five rows of
    // "Hold for..." fit without a scroll bar.
    list->header()->setFixedHeight(QFontMetrics(list->font()).height() + 1);
    list->header()->setStyleSheet(QStringLiteral("QHeaderView::section { padding: 0px 4px; }"));
    // A widget with a style sheet, and its parts, take the system's colours,
    // not their parent's.
    list->header()->setPalette(designPalette());
    list->header()->viewport()->setPalette(designPalette());
    return list;
}

QLabel* makeLabel(QWidget* parent, const char* caption) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    paintWhite(label);
    return label;
}

void buildKeyboardFrame(FormControls& c) {
    c.frame4 = place(makeFrame(c.form, "Which keys would you like to hold down?"), "Frame4", 120,
                     5790, 9600, 3225);

    // The picture first, so every key button stands above its drawn key.
    c.image1 = new QLabel(c.frame4);
    c.image1->setObjectName(QStringLiteral("Image1"));
    c.image1->setPixmap(keyboardPicture());
    c.image1->setGeometry(keyboardPictureRect());

    c.keyGroup = new QButtonGroup(c.form);
    c.keyGroup->setObjectName(QStringLiteral("cmdKey"));
    c.keyGroup->setExclusive(false);
    const QFont font = keyFont();
    for (int i = 0; i < kKeyCount; ++i) {
        const KeyDefinition& key = keyTable()[i];
        auto* button =
            new KeyButton(i, QString::fromUtf8(key.caption), QString::number(key.code), c.frame4);
        button->setObjectName(QStringLiteral("cmdKey_%1").arg(i));
        button->setGeometry(twipsRect(key.left, key.top, key.width, key.height));
        button->setFont(font);
        button->setToolTip(QString::fromUtf8(key.toolTip));
        button->setCheckable(true);  // checked while marked
        c.keyGroup->addButton(button, i);
        c.cmdKey[i] = button;
    }
    const QPixmap flag = windowFlagPicture();
    for (int i : {73, 74}) {
        c.cmdKey[i]->setIcon(QIcon(flag));
        c.cmdKey[i]->setIconSize(flag.size());
    }
    const QPixmap menu = menuListPicture();
    c.cmdKey[75]->setIcon(QIcon(menu));
    c.cmdKey[75]->setIconSize(menu.size());

    c.pushButton6 = place(makePushButton(c.frame4, "Reset (Unmark All Buttons)"), "PushButton6",
                          240, 2640, 4920, 405);
    c.pushButton5 =
        place(makePushButton(c.frame4, "Mark All Buttons"), "PushButton5", 9360, 2640, 2400, 405);
    c.pushButton5->setVisible(false);
    hideFromScreenReaders(c.pushButton5);
    hideFromScreenReaders(c.image1);  // the keys themselves stand for what it shows
    c.label1 = place(makeLabel(c.frame4, "Selected key = green"), "Label1", 5280, 2715, 1785, 225);
    c.label2 =
        place(makeLabel(c.frame4, "Unselectled key = gray"), "Label2", 7320, 2715, 1920, 225);
}

void setTabOrder(const FormControls& c) {
    std::vector<QWidget*> order = {c.listView1,   c.pushButton1, c.pushButton4,
                                   c.pushButton2, c.pushButton3, c.listView2,
                                   c.text1,       c.option1,     c.option2};
    order.insert(order.end(), c.cmdKey.begin(), c.cmdKey.end());
    order.push_back(c.pushButton6);
    for (size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

void centreOnScreen(QWidget* form) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = form->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        form->move(frame.topLeft());
    }
}

}  // namespace

FormControls buildFormControls(QWidget* form) {
    FormControls c;
    c.form = form;
    installReaderViews();
    form->setObjectName(QStringLiteral("Form1"));
    form->setWindowTitle(QStringLiteral("Form1"));
    // A fixed single border: minimise and close, no maximise, no resizing.
    form->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    form->setFixedSize(twips(kClientWidthTwips), twips(kClientHeightTwips));
    form->setFont(windowFont());
    // Set before any control exists, so that every control inherits it.
    form->setPalette(designPalette());
    paintWhite(form);

    c.listView1 = place(makeList(form), "ListView1", 120, 120, 9600, 2055);
    c.pushButton1 =
        place(makePushButton(form, "Refresh List"), "PushButton1", 120, 2270, 9600, 405);

    c.frame1 = place(makeFrame(form, "Wait this amount of seconds before holding the key down"),
                     "Frame1", 120, 2715, 9600, 885);
    c.text1 = place(new QLineEdit(QStringLiteral("Text1"), c.frame1), "Text1", 240, 300, 1215, 405);
    c.pushButton3 = place(makePushButton(c.frame1, "Help"), "PushButton3", 1560, 300, 7800, 405);

    c.frame3 = place(makeFrame(form, "How long would you like to hold the key down?"), "Frame3",
                     120, 3630, 9600, 2115);
    c.option1 =
        place(new QRadioButton(QStringLiteral("Forever until Ctrl+Shift+S is pressed"), c.frame3),
              "Option1", 240, 300, 3840, 255);
    c.option2 = place(new QRadioButton(c.frame3), "Option2", 240, 650, 375, 255);
    paintWhite(c.option1);
    paintWhite(c.option2);
    c.listView2 = place(makeList(c.frame3), "ListView2", 480, 645, 8880, 1305);

    // Names for readers where no caption gives one: what the column headers,
    // the frame and the list beside the blank option say on screen.
    c.listView1->setAccessibleName(QStringLiteral("Select One Application To Hold Into"));
    c.listView2->setAccessibleName(QStringLiteral("Hold for..."));
    c.option2->setAccessibleName(QStringLiteral("Hold for..."));
    c.text1->setAccessibleName(QStringLiteral("Seconds to wait before holding the keys down"));

    buildKeyboardFrame(c);

    c.pushButton4 = place(makePushButton(form, "Turn On"), "PushButton4", 120, 9135, 4800, 405);
    c.pushButton2 =
        place(makePushButton(form, "Hold Now (Test)"), "PushButton2", 5040, 9135, 4680, 405);

    setTabOrder(c);
    c.listView1->setFocus();
    centreOnScreen(form);
    return c;
}

}  // namespace quindorel

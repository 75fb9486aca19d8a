#include "app/FormControls.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include "app/DesignColours.h"
#include "app/FrameStyle.h"
#include "app/KeyButton.h"
#include "app/KeyPictures.h"
#include "app/KeyboardPicture.h"
#include "app/ReaderView.h"

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

// Paints a list's chosen row in the design's selection colours whether or
// not the list has the focus: styles that draw rows from the system theme
// (Windows' own) would fade it to a pale grey once the focus moves on, and
// the chosen target must stay plain to see.
class ChosenRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem row = option;
        if (row.state & QStyle::State_Selected) {
            const QPalette::ColorGroup group =
                row.state & QStyle::State_Enabled ? QPalette::Active : QPalette::Disabled;
            painter->fillRect(row.rect, row.palette.brush(group, QPalette::Highlight));
            row.palette.setBrush(QPalette::Text,
                                 row.palette.brush(group, QPalette::HighlightedText));
            row.state &= ~(QStyle::State_Selected | QStyle::State_MouseOver);
        }
        QStyledItemDelegate::paint(painter, row, index);
    }
};

// A report-style list; its columns and rows are added at start-up.
QTreeWidget* makeList(QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setItemDelegate(new ChosenRowDelegate(list));
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
    c.keyboardFrame = place(makeFrame(c.form, "Which keys would you like to hold down?"), "Frame4",
                            120, 5790, 9600, 3225);

    // The picture first, so every key button stands above its drawn key.
    auto* picture = new KeyboardPictureView(c.keyboardFrame);
    c.keyboardImage = picture;
    c.keyboardImage->setObjectName(QStringLiteral("Image1"));
    c.keyboardImage->setGeometry(keyboardPictureRect());

    c.keyGroup = new QButtonGroup(c.form);
    c.keyGroup->setObjectName(QStringLiteral("cmdKey"));
    c.keyGroup->setExclusive(false);
    const QFont font = keyFont();
    for (int i = 0; i < kKeyCount; ++i) {
        const KeyDefinition& key = keyTable()[i];
        auto* button = new KeyButton(i, QString::fromUtf8(key.caption), QString::number(key.code),
                                     c.keyboardFrame);
        button->setObjectName(QStringLiteral("cmdKey_%1").arg(i));
        button->setGeometry(twipsRect(key.left, key.top, key.width, key.height));
        button->setFont(font);
        button->setToolTip(QString::fromUtf8(key.toolTip));
        button->setCheckable(true);  // checked while marked
        c.keyGroup->addButton(button, i);
        c.keyButtons[i] = button;
    }
    picture->setKeyButtons(c.keyButtons);
    const QPixmap flag = windowFlagPicture();
    for (int i : {kLeftWindowsKey, kRightWindowsKey}) {
        c.keyButtons[i]->setIcon(QIcon(flag));
        c.keyButtons[i]->setIconSize(flag.size());
    }
    const QPixmap menu = menuListPicture();
    c.keyButtons[kMenuKey]->setIcon(QIcon(menu));
    c.keyButtons[kMenuKey]->setIconSize(menu.size());

    c.unmarkAllButton = place(makePushButton(c.keyboardFrame, "Reset (Unmark All Buttons)"),
                              "PushButton6", 240, 2640, 4920, 405);
    c.markAllButton = place(makePushButton(c.keyboardFrame, "Mark All Buttons"), "PushButton5",
                            9360, 2640, 2400, 405);
    c.markAllButton->setVisible(false);
    hideFromScreenReaders(c.markAllButton);
    hideFromScreenReaders(c.keyboardImage);  // the keys themselves stand for what it shows
    c.markedLabel =
        place(makeLabel(c.keyboardFrame, "Selected key = green"), "Label1", 5280, 2715, 1785, 225);
    c.unmarkedLabel = place(makeLabel(c.keyboardFrame, "Unselectled key = gray"), "Label2", 7320,
                            2715, 1920, 225);
}

void setTabOrder(const FormControls& c) {
    std::vector<QWidget*> order = {c.appList,       c.refreshButton, c.switchButton,
                                   c.holdNowButton, c.helpButton,    c.holdList,
                                   c.waitField,     c.foreverOption, c.timedOption};
    order.insert(order.end(), c.keyButtons.begin(), c.keyButtons.end());
    order.push_back(c.unmarkAllButton);
    for (size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

// The window itself: its name, border, fixed client size, font and colours.
void setUpForm(QWidget* form) {
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
}

// The application list, "Refresh List" and the waiting time.
void buildTargetAndWait(FormControls& c) {
    QWidget* form = c.form;
    c.appList = place(makeList(form), "ListView1", 120, 120, 9600, 2055);
    c.refreshButton =
        place(makePushButton(form, "Refresh List"), "PushButton1", 120, 2270, 9600, 405);

    c.waitFrame = place(makeFrame(form, "Wait this amount of seconds before holding the key down"),
                        "Frame1", 120, 2715, 9600, 885);
    c.waitField =
        place(new QLineEdit(QStringLiteral("Text1"), c.waitFrame), "Text1", 240, 300, 1215, 405);
    c.helpButton = place(makePushButton(c.waitFrame, "Help"), "PushButton3", 1560, 300, 7800, 405);
}

// The hold length: the two options and "Hold for...", with the names readers
// say where no caption gives one.
void buildHoldFrame(FormControls& c) {
    c.holdFrame = place(makeFrame(c.form, "How long would you like to hold the key down?"),
                        "Frame3", 120, 3630, 9600, 2115);
    c.foreverOption = place(
        new QRadioButton(QStringLiteral("Forever until Ctrl+Shift+S is pressed"), c.holdFrame),
        "Option1", 240, 300, 3840, 255);
    c.timedOption = place(new QRadioButton(c.holdFrame), "Option2", 240, 650, 375, 255);
    paintWhite(c.foreverOption);
    paintWhite(c.timedOption);
    c.holdList = place(makeList(c.holdFrame), "ListView2", 480, 645, 8880, 1305);

    // Names for readers where no caption gives one: what the column headers,
    // the frame and the list beside the blank option say on screen.
    c.appList->setAccessibleName(QStringLiteral("Select One Application To Hold Into"));
    c.holdList->setAccessibleName(QStringLiteral("Hold for..."));
    c.timedOption->setAccessibleName(QStringLiteral("Hold for..."));
    c.waitField->setAccessibleName(QStringLiteral("Seconds to wait before holding the keys down"));
}

// The switch, "Hold Now (Test)" and the notice over the application list.
void buildFoot(FormControls& c) {
    QWidget* form = c.form;
    c.switchButton = place(makePushButton(form, "Turn On"), "PushButton4", 120, 9135, 4800, 405);
    c.holdNowButton =
        place(makePushButton(form, "Hold Now (Test)"), "PushButton2", 5040, 9135, 4680, 405);

    // Over the foot of the application list, where the target is chosen:
    // shown only while a press waits for the user to click the target.
    c.focusNotice = place(new QLabel(form), "FocusNotice", 180, 1335, 9480, 780);
    c.focusNotice->setWordWrap(true);
    c.focusNotice->setMargin(4);
    c.focusNotice->setStyleSheet(QStringLiteral(
        "QLabel { background: #FFF4C2; color: #000000; border: 1px solid #B08800; }"));
    c.focusNotice->hide();
}

}  // namespace

QFont windowFont() {
    return designedFont(QStringLiteral("Arial"), 12, true);
}
QFont pushButtonFont() {
    return designedFont(QStringLiteral("Arial"), 15, true);
}
QFont keyFont() {
    return designedFont(QStringLiteral("Arial Narrow"), 11, false);
}

FormControls buildFormControls(QWidget* form) {
    FormControls c;
    c.form = form;
    setUpForm(form);
    buildTargetAndWait(c);
    buildHoldFrame(c);
    buildKeyboardFrame(c);
    buildFoot(c);
    setTabOrder(c);
    c.appList->setFocus();
    return c;
}

}  // namespace quindorel

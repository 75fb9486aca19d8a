#include "app/ReaderView.h"

#include <QAccessibleWidget>
#include <QGroupBox>

#include "app/KeyButton.h"
#include "keys/KeyTable.h"

namespace quindorel {

namespace {

constexpr const char* kHiddenFromReaders = "quindorelHiddenFromReaders";

// A frame as Qt shows it to readers (a named group of its parts), without the
// parts hidden from readers. The parts are looked up at each call,
// so the view stays right whatever was built or marked after it was made.
class FrameForReaders : public QAccessibleWidget {
public:
    explicit FrameForReaders(QGroupBox* frame) : QAccessibleWidget(frame, QAccessible::Grouping) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return static_cast<const QGroupBox*>(widget())->title();
        }
        return QAccessibleWidget::text(kind);
    }
    int childCount() const override { return parts().size(); }
    QAccessibleInterface* child(int index) const override {
        const QList<QObject*> list = parts();
        return index >= 0 && index < list.size()
                   ? QAccessible::queryAccessibleInterface(list[index])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr ? static_cast<int>(parts().indexOf(child->object())) : -1;
    }

private:
    QList<QObject*> parts() const {
        QList<QObject*> list;
        for (QObject* object : widget()->children()) {
            const auto* part = qobject_cast<QWidget*>(object);
            if (part != nullptr && !part->isWindow() &&
                !part->property(kHiddenFromReaders).toBool()) {
                list.append(object);
            }
        }
        return list;
    }
};

// A key as a checkable button named as people say it. Setting the name on
// the widget instead would make Qt build a view for each of the 109 keys at
// start-up, reader or not.
class KeyForReaders : public QAccessibleWidget {
public:
    explicit KeyForReaders(KeyButton* key)
        : QAccessibleWidget(key, QAccessible::Button,
                            QString::fromUtf8(keyTable().at(key->index()).spokenName)) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        const auto* key = static_cast<const KeyButton*>(widget());
        state.checkable = true;
        state.checked = key->isChecked();
        state.pressed = key->isDown();
        return state;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction(), toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction() || action == toggleAction()) {
            static_cast<KeyButton*>(widget())->animateClick();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }
};

QAccessibleInterface* viewForReaders(const QString& className, QObject* object) {
    if (auto* key = qobject_cast<KeyButton*>(object);
        key != nullptr && className == QLatin1String(KeyButton::staticMetaObject.className())) {
        return new KeyForReaders(key);
    }
    auto* frame = qobject_cast<QGroupBox*>(object);
    if (frame != nullptr && className == QLatin1String("QGroupBox")) {
        return new FrameForReaders(frame);
    }
    return nullptr;
}

}  // namespace

void installReaderViews() {
    static const bool installed = [] {
        QAccessible::installFactory(viewForReaders);
        return true;
    }();
    Q_UNUSED(installed);
}

void hideFromScreenReaders(QWidget* control) {
    control->setProperty(kHiddenFromReaders, true);
}

}  // namespace quindorel

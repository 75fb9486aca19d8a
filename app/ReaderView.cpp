#include "app/ReaderView.h"

#include <QAccessibleWidget>
#include <QGroupBox>

namespace quindorel {

namespace {

constexpr const char* kHiddenFromReaders = "quindorelHiddenFromReaders";

// A frame as Qt shows it to readers (a named group of its parts), without the
// parts that are hidden from readers. The parts are looked up at each call,
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

QAccessibleInterface* frameForReaders(const QString& className, QObject* object) {
    auto* frame = qobject_cast<QGroupBox*>(object);
    if (className == QLatin1String("QGroupBox") && frame != nullptr) {
        return new FrameForReaders(frame);
    }
    return nullptr;
}

}  // namespace

void hideFromScreenReaders(QWidget* control) {
    static const bool installed = [] {
        QAccessible::installFactory(frameForReaders);
        return true;
    }();
    Q_UNUSED(installed);
    control->setProperty(kHiddenFromReaders, true);
}

}  // namespace quindorel

#include "platform/DesktopPlatform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>

#include "platform/NullDesktop.h"
#include "platform/QtClock.h"

#ifdef QUINDOREL_HAVE_X11
#include "platform/x11/X11Desktop.h"
#endif
#ifdef Q_OS_WIN
#include "platform/win32/Win32Desktop.h"
#endif

namespace quindorel {

namespace {

QMessageBox::Icon toQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Report texts keep the classic CR LF / CR line ends; a label wants LF.
QString forDisplay(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

DesktopPlatform::DesktopPlatform(std::unique_ptr<NativeDesktop> desktop)
    : desktop_(std::move(desktop)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

DesktopPlatform::~DesktopPlatform() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

std::unique_ptr<Clock> DesktopPlatform::createClock() {
    return std::make_unique<QtClock>();
}

void DesktopPlatform::setHotKeyHandler(std::function<void(std::int32_t)> handler) {
    hotKeyHandler_ = std::move(handler);
}

bool DesktopPlatform::nativeEventFilter(const QByteArray&, void* message, qintptr*) {
    const std::optional<std::int32_t> id = desktop_->hotKeyFromNativeEvent(message);
    if (!id) {
        return false;
    }
    // Handled from the ordinary event loop, never from inside the filter.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this, value = *id] {
            if (hotKeyHandler_) {
                hotKeyHandler_(value);
            }
        },
        Qt::QueuedConnection);
    return true;
}

void DesktopPlatform::messageBox(const QString& text, const QString& title, MessageIcon icon) {
    QMessageBox box(toQt(icon), title.isEmpty() ? applicationTitle_ : title, forDisplay(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

std::optional<QString> DesktopPlatform::inputBox(const QString& prompt, const QString& title,
                                                 const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(),
                                               title.isEmpty() ? applicationTitle_ : title, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

int startKeyGuard() {
#ifdef QUINDOREL_HAVE_X11
    // Only where there is a display to guard keys on.
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        return X11KeyGuard::start().release();
    }
#endif
    return -1;
}

std::unique_ptr<Platform> createDesktopPlatform(int keyGuard) {
#ifdef Q_OS_WIN
    return std::make_unique<DesktopPlatform>(std::make_unique<Win32Desktop>());
#endif
#ifdef QUINDOREL_HAVE_X11
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto desktop = X11Desktop::fromQt()) {
            desktop->setKeyGuard(X11KeyGuard(keyGuard));
            return std::make_unique<DesktopPlatform>(std::move(desktop));
        }
    }
#endif
#ifdef QUINDOREL_HAVE_X11
    X11KeyGuard unused(keyGuard);  // nothing to guard: closing it ends the guard
#endif
    Q_UNUSED(keyGuard);
    return std::make_unique<DesktopPlatform>(std::make_unique<NullDesktop>());
}

}  // namespace quindorel

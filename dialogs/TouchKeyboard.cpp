#include "dialogs/TouchKeyboard.h"

#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <cmath>

#include "platform/Launcher.h"
#include "platform/Report.h"

// The resources of a static library are registered by hand, outside any namespace.
static void LoadKeyboardResources() {
    Q_INIT_RESOURCE(TouchKeyboard);
}

namespace {

bool g_prepared = false;
bool g_failed = false;

// Before a key acts, the name field takes the focus back (a touch on the dialog's list takes
// it away), so that every key lands in the field the keyboard serves.
class CFocusKeeper final : public QObject {
public:
    QPointer<QLineEdit> target;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type == QEvent::MouseButtonPress || type == QEvent::TouchBegin) && target) {
            if (!target->window()->isActiveWindow()) target->window()->activateWindow();
            if (!target->hasFocus()) target->setFocus(Qt::OtherFocusReason);
        }
        return QObject::eventFilter(watched, event);
    }
};

struct Keyboard {
    QPointer<QQuickWidget> widget;
    CFocusKeeper* keeper = nullptr;
};

Keyboard g_keyboard;

// Made on first use and kept for the life of the program: the keyboard's script engine and
// artwork are loaded once, and a dialog that opens again finds it ready.
Keyboard* TheKeyboard() {
    Keyboard& keyboard = g_keyboard;
    if (keyboard.widget || g_failed) return keyboard.widget ? &keyboard : nullptr;
    LoadKeyboardResources();
    auto* widget = new QQuickWidget;
    widget->setObjectName(QString::fromLatin1(kTouchKeyboardName));
    // Touches on the keys must leave the focus in the name field.
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setAttribute(Qt::WA_AcceptTouchEvents);
    widget->setResizeMode(QQuickWidget::SizeRootObjectToView);
    widget->setClearColor(Qt::black);
    widget->setSource(QUrl(QStringLiteral("qrc:/kv4/TouchKeyboard.qml")));
    if (widget->status() != QQuickWidget::Ready || !widget->rootObject()) {
        const QList<QQmlError> errors = widget->errors();
        const QString why =
            errors.isEmpty() ? QStringLiteral("it did not load") : errors.front().description();
        ReportLine("the touch keyboard cannot be shown (" + why.toStdString() +
                   "); names must be typed on a keyboard");
        g_failed = true;
        delete widget;
        return nullptr;
    }
    keyboard.widget = widget;
    keyboard.keeper = new CFocusKeeper;
    widget->installEventFilter(keyboard.keeper);
    return &keyboard;
}

}  // namespace

void PrepareTouchKeyboard() {
    // What the desktop had chosen goes on to the programs the panel starts.
    if (!qEnvironmentVariableIsEmpty("QT_IM_MODULE"))
        qputenv(kDesktopInputMethod, qgetenv("QT_IM_MODULE"));
    qputenv("QT_IM_MODULE", "qtvirtualkeyboard");
    // The keyboard lives in the dialogs; a window of its own would cover the panel in a kiosk.
    qputenv("QT_VIRTUALKEYBOARD_DESKTOP_DISABLE", "1");
    // Names are typed without word suggestions: the missing dictionary is no news for the
    // journal.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "qt.virtualkeyboard.hunspell.warning=false");
    // The panel PC may have no graphics driver; a keyboard is drawn well enough in software.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    g_prepared = true;
}

int AttachTouchKeyboard(QWidget* dialog, QLineEdit* target, int top) {
    if (!g_prepared || !dialog || !target) return 0;
    Keyboard* keyboard = TheKeyboard();
    if (!keyboard) return 0;
    // A name is typed as it stands: no capital put first, no word guessed.
    target->setInputMethodHints(target->inputMethodHints() | Qt::ImhNoAutoUppercase |
                                Qt::ImhNoPredictiveText | Qt::ImhPreferLatin);
    keyboard->keeper->target = target;
    // The operator can type at once.
    target->setFocus(Qt::OtherFocusReason);
    QQuickWidget* widget = keyboard->widget.data();
    const int width = dialog->width();
    // The keyboard's own proportions give its height for the width.
    QQuickItem* root = widget->rootObject();
    widget->setParent(dialog);
    // A hidden widget passes its size on to the keyboard late: the width is given directly.
    root->setWidth(width);
    const int height = std::max(1, static_cast<int>(std::ceil(root->implicitHeight())));
    widget->setGeometry(0, top, width, height);
    QMetaObject::invokeMethod(root, "showLetters");
    widget->show();
    return height;
}

void DetachTouchKeyboard(QWidget* dialog) {
    QWidget* widget = TouchKeyboardIn(dialog);
    if (!widget) return;
    widget->hide();
    widget->setParent(nullptr);
    if (g_keyboard.keeper) g_keyboard.keeper->target = nullptr;
}

QWidget* TouchKeyboardIn(const QWidget* dialog) {
    QWidget* widget = g_keyboard.widget.data();
    return widget && dialog && widget->parentWidget() == dialog ? widget : nullptr;
}

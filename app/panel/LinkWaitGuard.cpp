#include "app/panel/LinkWaitGuard.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <thread>
#include <typeinfo>

#include "app/panel/CursorHider.h"

namespace {

const auto kDeliverHeld = static_cast<QEvent::Type>(QEvent::registerEventType());
// The longest a breath inside a spin may take.
constexpr int kBreathMs = 2;

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::Close:
            return true;
        default:
            return false;
    }
}

// The panel's own messages (0x500, 0x501): plain events of a type of the program's own, which
// can be copied and posted again. Queued calls cannot be, and none of the panel's waits.
bool IsPanelMessage(const QEvent* event) {
    return event->type() >= QEvent::User && typeid(*event) == typeid(QEvent);
}

// Input for a window that a modal dialog blocks goes nowhere, as the window system's would.
bool BlockedByModal(QObject* receiver) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !receiver->isWidgetType()) return false;
    QWidget* window = static_cast<QWidget*>(receiver)->window();
    return window != modal && !modal->isAncestorOf(window);
}

}  // namespace

CLinkWaitGuard::CLinkWaitGuard() {
    qApp->installEventFilter(this);
    SetPauseHandler(this);
}

CLinkWaitGuard::~CLinkWaitGuard() {
    SetPauseHandler(nullptr);
    if (qApp) qApp->removeEventFilter(this);
}

CLinkWaitGuard::Side CLinkWaitGuard::SideOf(const QObject* object) {
    for (const QObject* o = object; o; o = o->parent()) {
        if (!o->isWidgetType()) {
            if (o->property(kPanelSideProperty).toBool()) return Side::Panel;
            continue;
        }
        const QWidget* window = static_cast<const QWidget*>(o)->window();
        return window->property(kKeepsCursorProperty).toBool() ? Side::Hardware : Side::Panel;
    }
    return Side::Neither;
}

void CLinkWaitGuard::Pause(uint32_t ms) {
    // Nothing of the panel's runs during a wait, so no wait can start inside one; should one
    // all the same, it sleeps.
    if (m_depth > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    ++m_depth;
    QEventLoop loop;
    QTimer end;
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    end.start(static_cast<int>(ms));
    loop.exec();
    --m_depth;
    Release();
}

void CLinkWaitGuard::Breathe() {
    if (m_depth > 0) return;
    ++m_depth;
    QCoreApplication::processEvents(QEventLoop::AllEvents, kBreathMs);
    --m_depth;
    Release();
}

bool CLinkWaitGuard::eventFilter(QObject* receiver, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool input = IsInput(type);
    if (!input && !IsPanelMessage(event) && type != QEvent::Timer) return false;
    if (receiver == this || SideOf(receiver) != Side::Panel) return false;

    if (m_depth > 0) {
        // A tick that falls due during the wait is skipped, as a window timer's is.
        if (type == QEvent::Timer) return true;
        Hold(input ? m_input : m_posted, receiver, event);
        return true;
    }
    // Input that comes while earlier input still waits to be delivered queues behind it.
    if (input && !m_input.empty() && !m_delivering) {
        Hold(m_input, receiver, event);
        return true;
    }
    return false;
}

void CLinkWaitGuard::Hold(std::vector<Held>& into, QObject* receiver, const QEvent* event) {
    into.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
}

void CLinkWaitGuard::Release() {
    // The messages go back into the queue in their order, ahead of anything the handler that
    // waited posts later; the input follows once that handler has returned.
    std::vector<Held> posted;
    posted.swap(m_posted);
    for (Held& held : posted)
        if (held.receiver) QCoreApplication::postEvent(held.receiver, held.event.release());
    if (!m_input.empty() && !m_deliveryPosted) {
        m_deliveryPosted = true;
        QCoreApplication::postEvent(this, new QEvent(kDeliverHeld));
    }
}

bool CLinkWaitGuard::event(QEvent* event) {
    if (event->type() != kDeliverHeld) return QObject::event(event);
    m_deliveryPosted = false;
    Deliver();
    return true;
}

void CLinkWaitGuard::Deliver() {
    std::vector<Held> batch;
    batch.swap(m_input);
    // A handler reached here may wait in its turn: what comes during that wait is held again
    // and delivered after the rest of this batch.
    const bool delivering = m_delivering;
    m_delivering = true;
    for (Held& held : batch)
        if (held.receiver && !BlockedByModal(held.receiver))
            QCoreApplication::sendEvent(held.receiver, held.event.get());
    m_delivering = delivering;
}

#pragma once

// While the link waits (a pause between exchanges, a long spin on the status port) the program
// keeps running its event loop, so that every window repaints and the simulator's console
// keeps taking input, as hardware would. Nothing of the panel's own may run in that time, or
// its link traffic would fall between an exchange and its wait: the panel's touches, keys and
// posted messages are held back and delivered, in order, once the handler that waited has
// returned; its timer ticks that fall due during the wait are skipped. Windows that stand in
// for hardware (kKeepsCursorProperty) are not held back.

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

#include "platform/Clock.h"

class QEvent;

// An object that is no window but acts for the panel (the remote control line): set true on it,
// its posted messages and timer ticks are held and skipped like the panel's own.
inline constexpr const char* kPanelSideProperty = "kv4PanelSide";

class CLinkWaitGuard final : public QObject, public PauseHandler {
public:
    CLinkWaitGuard();
    ~CLinkWaitGuard() override;

    void Pause(uint32_t ms) override;
    void Breathe() override;

    bool Waiting() const { return m_depth > 0; }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };
    enum class Side { Panel, Hardware, Neither };

    static Side SideOf(const QObject* object);
    void Hold(std::vector<Held>& into, QObject* receiver, const QEvent* event);
    void Release();
    void Deliver();

    int m_depth = 0;
    bool m_deliveryPosted = false;
    bool m_delivering = false;
    std::vector<Held> m_posted;  // the panel's posted messages
    std::vector<Held> m_input;   // touches, keys, closes
};

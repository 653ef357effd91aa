#pragma once

#include <QByteArray>
#include <QObject>
#include <memory>
#include <string>

class QSocketNotifier;

// The serial line of the bypass transfer on the simulated rig: two pseudo terminals joined
// end to end. The panel opens the first one's device as its serial port; a terminal program
// or a script attaches to the second one's device as the far end of the line. The console's
// own peer sends on the line as well. Every byte towards the panel and every byte the panel
// writes is reported; what the panel writes goes to the attached far end only when that end
// sent last, so that nothing piles up there for a program that attaches later.
class SimBypassLine final : public QObject {
    Q_OBJECT
public:
    // nullptr and the reason when the system gives no pseudo terminal.
    static std::unique_ptr<SimBypassLine> Open(std::string* error);
    ~SimBypassLine() override;

    // The device the panel opens as its serial port.
    const std::string& PanelDevice() const { return m_panel.device; }
    // The device a terminal program or a script attaches to.
    const std::string& PeerDevice() const { return m_peer.device; }

    // Bytes from the console to the panel; false when the line did not take them all.
    bool Send(const QByteArray& bytes);

signals:
    void ToPanel(const QByteArray& bytes, bool fromConsole);
    void FromPanel(const QByteArray& bytes);

private:
    // One pseudo terminal. The rig keeps its device open as well, so that the line stays up
    // while nobody else has it open, and its far side never reads a hang-up.
    struct End {
        int master = -1;
        int held = -1;  // the rig's own descriptor of the device
        std::string device;
        QSocketNotifier* notifier = nullptr;
    };

    SimBypassLine() = default;
    bool OpenEnd(End& end, std::string* error);
    void OnPanelWrote();
    void OnPeerWrote();

    End m_panel;
    End m_peer;
    bool m_peerSentLast = false;
};

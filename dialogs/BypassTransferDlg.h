#pragma once

// The bypass transfer: relays a serial conversation to the selected Main Unit. Request frames
// that come in on the serial line go to the unit as request packets; each answer goes back
// on the line as a reply frame. The dialog picks the line rate and starts and stops the relay.

#include <QBasicTimer>
#include <QPointer>
#include <array>
#include <cstdint>

#include "dialogs/DialogKit.h"
#include "platform/SerialPort.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QSocketNotifier;

// Template 180.
inline constexpr int kBypassTemplateWidth = 192;
inline constexpr int kBypassTemplateHeight = 151;
inline constexpr int kIdRate38400 = 1109;
inline constexpr int kIdRate115200 = 1110;
inline constexpr int kIdBypassEnable = 1093;
inline constexpr int kIdBypassStatus = 1036;
inline constexpr int kIdBypassClose = 2;

inline constexpr const char* kBypassCaption = "Remote Bypass Menu";
inline constexpr const char* kBypassEnable = "Enable";
inline constexpr const char* kBypassDisable = "Disable";
inline constexpr const char* kBypassIdleStatus = " Press \"Enable\" to start transfer.";
inline constexpr const char* kBypassRelayStatus = " Waiting for data...";
inline constexpr const char* kMsgSerialFailure =
    "Serial Port failure: Contact Quorvane Corporation for support.";
inline constexpr const char* kCaptionSerialFailure = "Error";

// The relay runs on timer 1 while it is enabled.
inline constexpr int kRelayTimer = 1;
inline constexpr int kRelayPeriodMs = 100;
// A read waits this long for each byte.
inline constexpr uint32_t kSerialByteTimeoutMs = 100;

// Serial frames, both ways: 0x02, a count n, then n + 1 bytes.
inline constexpr uint8_t kFrameStart = 0x02;
inline constexpr int kFrameBufferSize = 260;
inline constexpr int kFrameOverhead = 3;  // start, count and the last byte
// A partial frame whose next byte has not come for this long is dropped.
inline constexpr uint32_t kFrameGapMs = 1000;

// The painted line across the dialog, in client pixels.
inline constexpr QPoint kBypassLineFrom{20, 180};
inline constexpr QPoint kBypassLineTo{270, 180};

class CBypassTransferDlg : public CSetupDialog {
public:
    explicit CBypassTransferDlg(QWidget* panel);
    ~CBypassTransferDlg() override;

    void OnInitDialog();
    int exec() override;
    QPoint Placement(QSize outer) const override;

    // The window timers' handler: timer 1 is a relay step.
    void OnTimer(int id);
    bool Relaying() const { return m_relayTimer.isActive(); }

protected:
    void timerEvent(QTimerEvent* event) override;
    bool event(QEvent* event) override;

private:
    void OnEnable();
    void Enable();
    void Disable();
    void Fail();
    // Reads what the line holds; false when it stopped with bytes still waiting.
    bool RelayStep();
    // Takes one byte into the frame; true when it completed a request frame.
    bool Take(uint8_t byte);
    void Forward();
    void ClearFrame();
    // Watches the line, so that a frame is relayed as soon as its last byte arrives.
    void WatchLine(bool watch);

    bool m_initialised = false;
    bool m_portOpen = false;
    bool m_continuing = false;
    CSerialPort m_port;
    std::array<uint8_t, kFrameBufferSize> m_frame{};
    int m_frameCount = 0;
    uint32_t m_lastByteMs = 0;
    QBasicTimer m_relayTimer;
    QPointer<QSocketNotifier> m_lineWatch;
    QRadioButton* m_rate38400;
    QRadioButton* m_rate115200;
    QPushButton* m_enable;
    QLabel* m_status;
    QPushButton* m_close;
};

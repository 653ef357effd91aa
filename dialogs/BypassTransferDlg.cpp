#include "dialogs/BypassTransferDlg.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSocketNotifier>
#include <QTimerEvent>
#include <cstring>

#include "link/Commands.h"
#include "platform/Clock.h"

namespace {

const auto kRelayMore = static_cast<QEvent::Type>(QEvent::registerEventType());
const auto kCloseAfterFailure = static_cast<QEvent::Type>(QEvent::registerEventType());
constexpr int kRate38400 = 38400;
constexpr int kRate115200 = 115200;
constexpr int kDataBits = 8;
constexpr int kMaxFrameCount = 255;

// The longest frame either way, start byte, a count of 255 and its 256 bytes, fits the buffer.
static_assert(kMaxFrameCount + kFrameOverhead <= kFrameBufferSize);
// A reply takes the answer's count and the count + 1 bytes after it.
static_assert(kRespCount + kMaxFrameCount + 2 <= static_cast<int>(kResponseSize));

}  // namespace

CBypassTransferDlg::CBypassTransferDlg(QWidget* panel)
    : CSetupDialog(panel, QSize(kBypassTemplateWidth, kBypassTemplateHeight)) {
    AddGroup(QStringLiteral("Baud Rate"), DluRect(13, 8, 76, 54));
    auto* rates = new QButtonGroup(this);
    m_rate38400 = AddRadio(kIdRate38400, QStringLiteral("38.4K"), DluRect(24, 21, 58, 14));
    m_rate115200 = AddRadio(kIdRate115200, QStringLiteral("115.2K"), DluRect(24, 39, 58, 14));
    rates->addButton(m_rate38400);
    rates->addButton(m_rate115200);

    m_enable =
        AddButton(kIdBypassEnable, QString::fromLatin1(kBypassEnable), DluRect(105, 24, 74, 24));
    m_status = AddLabel(kIdBypassStatus, QString::fromLatin1(kBypassIdleStatus),
                        DluRect(13, 72, 167, 16), true);
    m_close = AddButton(kIdBypassClose, QStringLiteral("Close"), DluRect(66, 120, 60, 22));

    connect(m_enable, &QPushButton::clicked, this, [this] { OnEnable(); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    SetRule(QLine(kBypassLineFrom, kBypassLineTo));
}

CBypassTransferDlg::~CBypassTransferDlg() {
    m_relayTimer.stop();
    WatchLine(false);
    if (m_portOpen) m_port.Close();
}

QPoint CBypassTransferDlg::Placement(QSize outer) const {
    return {(kScreenWidth - outer.width()) / 2, (kScreenHeight - outer.height()) / 3};
}

int CBypassTransferDlg::exec() {
    OnInitDialog();
    return CSetupDialog::exec();
}

void CBypassTransferDlg::OnInitDialog() {
    if (m_initialised) return;
    m_initialised = true;
    setWindowTitle(QString::fromLatin1(kBypassCaption));
    m_rate115200->setChecked(true);
    m_portOpen = m_port.Open(kBypassPortName);
    if (!m_portOpen) Fail();
}

void CBypassTransferDlg::OnEnable() {
    if (Relaying())
        Disable();
    else
        Enable();
}

void CBypassTransferDlg::Enable() {
    const int rate = m_rate38400->isChecked() ? kRate38400 : kRate115200;
    // A line that cannot be set up is closed by the port itself: the relay cannot run.
    if (!m_port.Configure(rate, kDataBits, kParityOdd, true, kOneStopBit) ||
        !m_port.SetTimeouts(0, kSerialByteTimeoutMs, 0, 0, 0)) {
        Fail();
        return;
    }
    m_enable->setText(QString::fromLatin1(kBypassDisable));
    m_status->setText(QString::fromLatin1(kBypassRelayStatus));
    m_close->setEnabled(false);
    ClearFrame();
    m_relayTimer.start(kRelayPeriodMs, this);
    WatchLine(true);
}

void CBypassTransferDlg::WatchLine(bool watch) {
    delete m_lineWatch.data();
    if (!watch || !m_port.IsOpen()) return;
    // The tick stays for a frame whose sender stopped half-way; the bytes themselves are
    // taken the moment they come, so a peer in lock step is answered at once.
    m_lineWatch = new QSocketNotifier(m_port.Descriptor(), QSocketNotifier::Read, this);
    connect(m_lineWatch, &QSocketNotifier::activated, this, [this] {
        // The step is a posted message of the dialog's own, so that it waits its turn while the
        // link waits; the watch rests until the step has read what came.
        m_lineWatch->setEnabled(false);
        // Ready with nothing to read is a line that hung up (an adapter pulled, a closed far
        // end): it would be ready again at once, for ever. The tick alone watches it from now.
        if (!m_port.HasInput()) {
            m_lineWatch->deleteLater();
            return;
        }
        if (m_continuing) return;
        m_continuing = true;
        QCoreApplication::postEvent(this, new QEvent(kRelayMore));
    });
}

void CBypassTransferDlg::Disable() {
    m_enable->setText(QString::fromLatin1(kBypassEnable));
    m_status->setText(QString::fromLatin1(kBypassIdleStatus));
    m_close->setEnabled(true);
    m_relayTimer.stop();
    WatchLine(false);
}

void CBypassTransferDlg::Fail() {
    ThePrompter().Show(kMsgSerialFailure, kCaptionSerialFailure, PromptButtons::Ok,
                       PromptIcon::Stop);
    QCoreApplication::postEvent(this, new QEvent(kCloseAfterFailure));
}

bool CBypassTransferDlg::event(QEvent* event) {
    // Plain posted events of the dialog's own: they wait their turn while the link waits.
    if (event->type() == kRelayMore) {
        m_continuing = false;
        OnTimer(kRelayTimer);
        if (m_lineWatch) m_lineWatch->setEnabled(true);
        return true;
    }
    if (event->type() == kCloseAfterFailure) {
        reject();
        return true;
    }
    return CSetupDialog::event(event);
}

void CBypassTransferDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_relayTimer.timerId())
        OnTimer(kRelayTimer);
    else
        CSetupDialog::timerEvent(event);
}

void CBypassTransferDlg::OnTimer(int id) {
    if (id != kRelayTimer || !Relaying() || RelayStep()) return;
    // More is waiting: the rest follows as soon as the panel has seen to its input, in the
    // order it came on the line.
    if (m_continuing) return;
    m_continuing = true;
    QCoreApplication::postEvent(this, new QEvent(kRelayMore));
}

bool CBypassTransferDlg::RelayStep() {
    // A sender that stopped half-way through a frame would otherwise have its next request
    // taken as the rest of this one.
    if (m_frameCount > 0 && TheClock().TickMs() - m_lastByteMs >= kFrameGapMs) ClearFrame();
    // Only bytes that are there already: the panel never waits on the line. A step ends after
    // a relayed frame, or a buffer's worth of bytes, to let the panel breathe.
    uint8_t byte = 0;
    for (int taken = 0; taken < kFrameBufferSize && m_port.HasInput();) {
        if (!m_port.ReadByte(byte)) break;
        ++taken;
        m_lastByteMs = TheClock().TickMs();
        if (Take(byte)) {
            Forward();
            break;
        }
    }
    return !m_port.HasInput();
}

bool CBypassTransferDlg::Take(uint8_t byte) {
    // Bytes ahead of a start byte belong to no frame; the relay waits for the next start.
    if (m_frameCount == 0 && byte != kFrameStart) return false;
    m_frame[m_frameCount++] = byte;
    if (m_frameCount < 2) return false;
    // A count of 0 never completes; the frame goes at once instead of holding the line up.
    if (m_frame[1] == 0) {
        ClearFrame();
        return false;
    }
    return m_frameCount == m_frame[1] + kFrameOverhead;
}

void CBypassTransferDlg::Forward() {
    // Whatever the link reports: a unit that did not answer leaves the answer all zero, and
    // the peer is told so by a count of 0.
    ResponseBuffer answer;
    // An answer left on the link by a failed exchange would be taken for the next frame's,
    // and every answer after it would be one behind: the link is reset first.
    if (PassThrough(m_frame.data(), answer) != kLinkOk) ResetLinkTwice();
    // The reply is a whole frame of the answer's own count C: 0x02, C, the response code, the
    // C - 1 data bytes and the byte after them, however long the request was.
    const int count = answer[kRespCount];
    m_frame[0] = kFrameStart;
    std::memcpy(m_frame.data() + 1, answer.data() + kRespCount, count + 2);
    const int length = count + kFrameOverhead;
    for (int i = 0; i < length; ++i)
        if (!m_port.WriteByte(m_frame[i])) break;
    ClearFrame();
}

void CBypassTransferDlg::ClearFrame() {
    m_frame.fill(0);
    m_frameCount = 0;
}

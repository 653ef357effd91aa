#include "sim/console/SimBypassPeer.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "sim/SimBypassLine.h"

namespace {

constexpr char kFrameStart = 0x02;
constexpr int kFrameOverhead = 3;  // start, count and the byte after the counted ones
constexpr int kLogRows = 5;
// The identify request: count 1, command 192, the end byte.
constexpr const char* kSampleRequest = "02 01 C0 FF";

const char* const kRequestHelp =
    "A request frame: 02, the count n, the unit's command code, its n - 1 parameters, FF. "
    "02 01 C0 FF asks the selected unit who it is, 02 01 B6 FF reads its title. The panel relays "
    "frames while its Remote Bypass Menu (ALT, then menu button 9) is enabled.";

}  // namespace

std::optional<QByteArray> ParseHexBytes(const QString& text) {
    QByteArray bytes;
    const QStringList words =
        text.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    for (const QString& word : words) {
        // One or two digits are a byte; a longer word is a run of pairs.
        if (word.size() > 2 && word.size() % 2 != 0) return std::nullopt;
        for (qsizetype at = 0; at < word.size(); at += 2) {
            bool ok = false;
            const uint value = word.mid(at, 2).toUInt(&ok, 16);
            if (!ok) return std::nullopt;
            bytes.append(static_cast<char>(value));
        }
    }
    return bytes;
}

QString HexBytes(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

CSimBypassPeer::CSimBypassPeer(SimBypassLine& line, QWidget* parent)
    : QGroupBox(QStringLiteral("Bypass line"), parent), m_line(line) {
    setObjectName(QStringLiteral("bypassPeer"));
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(4);

    auto* device = new QLabel(
        QStringLiteral("The panel's serial port is %1. A terminal program or a script attaches "
                       "to the far end: %2")
            .arg(QString::fromStdString(line.PanelDevice()),
                 QString::fromStdString(line.PeerDevice())),
        this);
    device->setObjectName(QStringLiteral("bypassDevice"));
    device->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(device, 0, 0, 1, 3);

    grid->addWidget(new QLabel(QStringLiteral("Request frame (hex)"), this), 1, 0);
    m_request = new QLineEdit(QString::fromLatin1(kSampleRequest), this);
    m_request->setToolTip(QString::fromLatin1(kRequestHelp));
    grid->addWidget(m_request, 1, 1);
    m_send = new QPushButton(QStringLiteral("Send"), this);
    m_send->setToolTip(QString::fromLatin1(kRequestHelp));
    grid->addWidget(m_send, 1, 2);
    grid->setColumnStretch(1, 1);

    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(kLogLines);
    m_log->setFixedHeight(m_log->fontMetrics().lineSpacing() * kLogRows + 10);
    m_log->setPlaceholderText(QStringLiteral("Frames on the line show here"));
    grid->addWidget(m_log, 2, 0, 1, 3);

    connect(m_send, &QPushButton::clicked, this, &CSimBypassPeer::SendTyped);
    connect(m_request, &QLineEdit::returnPressed, this, &CSimBypassPeer::SendTyped);
    connect(&line, &SimBypassLine::ToPanel, this, &CSimBypassPeer::ShowToPanel);
    connect(&line, &SimBypassLine::FromPanel, this, &CSimBypassPeer::ShowFromPanel);
}

void CSimBypassPeer::SendTyped() {
    const std::optional<QByteArray> bytes = ParseHexBytes(m_request->text());
    if (!bytes || bytes->isEmpty()) {
        m_log->appendPlainText(QStringLiteral("not sent: type bytes in hex, as in %1")
                                   .arg(QString::fromLatin1(kSampleRequest)));
        return;
    }
    if (!m_line.Send(*bytes)) m_log->appendPlainText(QStringLiteral("the line took not all"));
}

void CSimBypassPeer::ShowToPanel(const QByteArray& bytes, bool fromConsole) {
    m_log->appendPlainText(
        QStringLiteral("%1 > panel: %2")
            .arg(fromConsole ? QStringLiteral("console") : QStringLiteral("far end"),
                 HexBytes(bytes)));
}

void CSimBypassPeer::ShowFromPanel(const QByteArray& bytes) {
    m_reply.append(bytes);
    // Whole reply frames, each on its line; a byte outside any frame on its own.
    while (!m_reply.isEmpty()) {
        qsizetype length = 1;
        if (m_reply[0] == kFrameStart) {
            if (m_reply.size() < 2) break;
            length = static_cast<uint8_t>(m_reply[1]) + kFrameOverhead;
            if (m_reply.size() < length) break;
        }
        m_log->appendPlainText(QStringLiteral("panel > %1").arg(HexBytes(m_reply.left(length))));
        m_reply.remove(0, length);
    }
}

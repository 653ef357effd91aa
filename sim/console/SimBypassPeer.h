#pragma once

#include <QByteArray>
#include <QGroupBox>
#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class SimBypassLine;

// Bytes typed in hex: pairs of digits, with or without spaces between them ("02 01 C0 FF",
// "0201c0ff", "2 1 c0 ff"). nullopt when the text holds anything else.
std::optional<QByteArray> ParseHexBytes(const QString& text);
QString HexBytes(const QByteArray& bytes);

// The console's end of the bypass line: a request frame typed in hex goes to the panel's serial
// port, and the traffic on the line is listed, the panel's replies frame by frame. The device
// a terminal program or a script attaches to instead is shown at the top.
class CSimBypassPeer : public QGroupBox {
public:
    static constexpr int kLogLines = 200;

    CSimBypassPeer(SimBypassLine& line, QWidget* parent = nullptr);

    QLineEdit* RequestEdit() const { return m_request; }
    QPushButton* SendButton() const { return m_send; }
    QPlainTextEdit* Log() const { return m_log; }

private:
    void SendTyped();
    void ShowToPanel(const QByteArray& bytes, bool fromConsole);
    void ShowFromPanel(const QByteArray& bytes);

    SimBypassLine& m_line;
    QLineEdit* m_request = nullptr;
    QPushButton* m_send = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QByteArray m_reply;  // bytes of a reply frame still coming
};

#include "app/remote/RemoteCommands.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QWidget>
#include <algorithm>
#include <charconv>
#include <string_view>

#include "app/panel/MainPanelDlg.h"
#include "dialogs/TouchKeyboard.h"
#include "link/Commands.h"
#include "link/LinkStats.h"
#include "platform/Clock.h"
#include "widgets/BitmapTextButton.h"
#include "widgets/ColorLabel.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"
#include "widgets/KnobGeometry.h"

namespace {

constexpr int kSurfaceWaitMs = 3000;  // how long a press waits for the panel to read it
constexpr uint8_t kUnitKey = 0x01;

const char* const kHelp =
    "OK commands: token SECRET | key ROW(0-4) MASK | knob K(0-7) STEPS | unit N(1-4) | "
    "menu B(0-9) | function F(0-5) | dblclick K(0-7) | state | watch | unwatch | stats | "
    "sim ... (with --simulate; sim alone lists its steps)";

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < line.size()) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string::npos) break;
        const size_t end = std::min(line.find_first_of(" \t", at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

bool SameToken(const std::string& given, const std::string& token) {
    // Every byte is compared, so the time taken tells nothing of where they differ.
    unsigned differ = given.size() != token.size();
    for (size_t i = 0; i < given.size(); ++i)
        differ |= static_cast<unsigned>(given[i] ^ token[i % token.size()]);
    return differ == 0;
}

QString Latin(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QJsonArray Buttons(const CBitmapTextButton* const* buttons, int count) {
    QJsonArray out;
    for (int i = 0; i < count; ++i)
        out.append(QJsonObject{{"caption", Latin(buttons[i]->Text())},
                               {"lit", buttons[i]->m_nImage != 0}});
    return out;
}

}  // namespace

bool RemoteNumber(const std::string& word, int low, int high, int* out) {
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    const char* begin = word.data() + (hex ? 2 : 0);
    const char* end = word.data() + word.size();
    int value = 0;
    const auto [at, error] = std::from_chars(begin, end, value, hex ? 16 : 10);
    if (begin == end || error != std::errc() || at != end || value < low || value > high)
        return false;
    *out = value;
    return true;
}

RemoteSurface LinkRemoteSurface() {
    return {QueuePanelKeys, QueueKnobMovement, PanelInputQueued, {}};
}

CRemoteCommands::CRemoteCommands(RemoteSurface surface, std::string token)
    : m_surface(std::move(surface)), m_token(std::move(token)) {}

bool CRemoteCommands::OnlyReads(const QByteArray& line) {
    // The first word, as Execute splits it, without a copy: the server asks for every line.
    const std::string_view text(line.constData(), static_cast<size_t>(line.size()));
    const size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return false;
    const std::string_view verb = text.substr(begin, text.find_first_of(" \t", begin) - begin);
    const auto is = [verb](std::string_view name) {
        return verb.size() == name.size() &&
               std::equal(verb.begin(), verb.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == b;
               });
    };
    return is("state") || is("stats") || is("watch") || is("unwatch") || is("help");
}

bool CRemoteCommands::DialogOpen() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != g_mainPanel;
}

std::string CRemoteCommands::Execute(RemoteSession& session, const QByteArray& line) {
    // Stateless: a sequence cut off at the line's end is an error, not left for more bytes.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(line);
    if (utf8.hasError()) return "ERR not UTF-8";
    const std::string command = text.toStdString();
    std::vector<std::string> words = Words(command);
    if (words.empty()) return "ERR empty line";
    std::string& verb = words[0];
    std::transform(verb.begin(), verb.end(), verb.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });

    if (verb == "token") {
        const size_t at = command.find_first_not_of(" \t", command.find_first_of(" \t"));
        const std::string given =
            at == std::string::npos
                ? std::string()
                : QString::fromStdString(command.substr(at)).trimmed().toStdString();
        if (m_token.empty() || SameToken(given, m_token)) {
            session.authorised = true;
            return "OK";
        }
        // A wrong token ends the connection: guesses cost a new one each.
        session.closing = true;
        return "ERR wrong token";
    }
    if (!session.authorised) return "ERR token required: send token SECRET first";
    return Run(session, words);
}

std::string CRemoteCommands::Run(RemoteSession& session, const std::vector<std::string>& w) {
    const std::string& verb = w[0];
    if (verb == "help") return kHelp;
    if (verb == "stats") {
        if (w.size() != 1) return "ERR usage: stats";
        return "OK {\"now\":" + std::to_string(TheClock().TickMs()) +
               ",\"slots\":" + LinkStatsJson() + "}";
    }
    const bool watch = verb == "watch";
    if (verb == "state" || watch || verb == "unwatch") {
        if (w.size() != 1) return "ERR usage: " + verb;
        if (verb == "unwatch") {
            session.watching = false;
            return "OK";
        }
        if (!g_mainPanel) return "ERR the panel is not running";
        const std::string state = StateJson(*g_mainPanel);
        if (!watch) return "OK " + state;
        session.watching = true;
        session.lastState = state;
        return "OK watching\nSTATE " + state;
    }

    const bool known = verb == "key" || verb == "knob" || verb == "unit" || verb == "menu" ||
                       verb == "function" || verb == "dblclick" || verb == "sim";
    if (!known) return "ERR unknown command '" + verb + "' (try help)";
    if (!g_mainPanel) return "ERR the panel is not running";
    if (DialogOpen()) return kRemoteBusyReply;

    if (verb == "sim") {
        if (!m_surface.simStep) return "ERR sim needs --simulate";
        const std::vector<std::string> step(w.begin() + 1, w.end());
        // A failed fan is a fatal error, and on a kiosk that switches the PC off.
        if (m_surface.kiosk && step.size() == 2 && step[0] == "fan" && step[1] == "fail")
            return "ERR sim fan fail would power the panel PC off (--kiosk)";
        return m_surface.simStep(step);
    }
    if (verb == "key" || verb == "knob" || verb == "unit") return Press(session, w);

    int index = 0;
    if (verb == "menu") {
        if (w.size() != 2 || !RemoteNumber(w[1], 0, kMenuButtons - 1, &index))
            return "ERR usage: menu B (0-9)";
        return QueueTouch(session, RemoteTouch::Menu, index);
    }
    if (verb == "function") {
        if (w.size() != 2 || !RemoteNumber(w[1], 0, kFunctionButtons - 1, &index))
            return "ERR usage: function F (0-5)";
        return QueueTouch(session, RemoteTouch::Function, index);
    }
    if (w.size() != 2 || !RemoteNumber(w[1], 0, kKnobCount - 1, &index))
        return "ERR usage: dblclick K (0-7)";
    return QueueTouch(session, RemoteTouch::DoubleClick, index);
}

std::string CRemoteCommands::Press(RemoteSession& session, const std::vector<std::string>& w) {
    RemoteSession::Press press;
    const std::string& verb = w[0];
    if (verb == "key") {
        if (w.size() != 3 || !RemoteNumber(w[1], 0, kKeyRowCount - 1, &press.index) ||
            !RemoteNumber(w[2], 1, 255, &press.amount))
            return "ERR usage: key ROW (0-4) MASK (1-255, e.g. 0x10)";
    } else if (verb == "unit") {
        if (w.size() != 2 || !RemoteNumber(w[1], 1, kUnitCount, &press.index))
            return "ERR usage: unit N (1-4)";
        press.amount = kUnitKey;
    } else {
        press.knob = true;
        if (w.size() != 3 || !RemoteNumber(w[1], 0, kKnobCount - 1, &press.index) ||
            !RemoteNumber(w[2], INT16_MIN, INT16_MAX, &press.amount) || press.amount == 0)
            return "ERR usage: knob K (0-7) STEPS (-32768..32767, not 0)";
    }
    session.press = press;
    session.press->since.start();
    return PressDone(session);
}

std::string CRemoteCommands::PressDone(RemoteSession& session) {
    RemoteSession::Press& press = *session.press;
    const bool unread = m_surface.inputPending && m_surface.inputPending();
    const bool late = press.since.elapsed() >= kSurfaceWaitMs;
    std::string reply;
    if (!press.placed) {
        // One press at a time, as one finger: the next waits until the panel has read this one.
        if (unread && !late) return {};
        if (unread) {
            reply = "ERR the panel has not read the surface";
        } else if (DialogOpen()) {
            reply = kRemoteBusyReply;
        } else {
            if (press.knob)
                m_surface.turnKnob(press.index, press.amount);
            else
                m_surface.pressKey(press.index, static_cast<uint8_t>(press.amount));
            press.placed = true;
            press.since.restart();
            return {};
        }
    } else {
        if (unread && !late) return {};
        // The panel reads the surface every 20 ms while it runs: one that has not read it for
        // this long has stopped (the surface does not answer); the press stays where it is.
        reply = unread ? "ERR the panel has not read the surface" : "OK";
    }
    session.press.reset();
    return reply;
}

std::string CRemoteCommands::QueueTouch(RemoteSession& session, RemoteTouch touch, int index) {
    const CMainPanelDlg& panel = *g_mainPanel;
    const QWidget* target =
        touch == RemoteTouch::Menu       ? static_cast<QWidget*>(panel.m_menuButtons[index])
        : touch == RemoteTouch::Function ? static_cast<QWidget*>(panel.m_functionButtons[index])
                                         : static_cast<QWidget*>(panel.m_knobs[index]);
    // What a finger cannot reach, the remote cannot either.
    if (target->isHidden() || !target->isEnabled()) return "ERR that control is not shown";
    session.touch = RemoteSession::Touch{touch, index};
    return {};
}

bool CRemoteCommands::RunTouch(const RemoteSession::Touch& touch) {
    if (!g_mainPanel || DialogOpen()) return false;
    CMainPanelDlg& panel = *g_mainPanel;
    switch (touch.touch) {
        case RemoteTouch::Menu:
            panel.m_menuButtons[touch.index]->click();
            break;
        case RemoteTouch::Function:
            panel.m_functionButtons[touch.index]->click();
            break;
        case RemoteTouch::DoubleClick:
            emit panel.m_knobs[touch.index]->doubleClicked();
            break;
    }
    return true;
}

std::string CRemoteCommands::StateJson(const CMainPanelDlg& panel) {
    const int unit = UnitNumber(g_selectedUnit);
    QJsonArray online, onAir, lamps, knobs, info;
    for (int n = 1; n <= kUnitCount; ++n) {
        if (panel.m_lamps[n] & kLampOnline) online.append(n);
        if (panel.m_lamps[kLampTallyByte] & (1u << n)) onAir.append(n);
    }
    for (uint8_t lamp : panel.m_lamps)
        lamps.append(lamp);
    for (const CKnobDisplay* knob : panel.m_knobs) {
        const ControlRecord* control = knob->Control();
        // A display without a control is hidden: it shows nothing.
        knobs.append(
            control && !control->name.empty()
                ? QJsonObject{{"name", Latin(control->name)}, {"value", KnobValueText(*control)}}
                : QJsonObject{{"name", ""}, {"value", ""}});
    }
    for (const InfoLine& line : BuildInfoOverlay(panel.m_infoPanel->Content()).lines)
        info.append(line.text);
    const bool selected = unit >= 1 && unit <= kUnitCount;
    // What is open over the panel, as the operator sees it: its caption, and the keyboard.
    const QWidget* over = QApplication::activeModalWidget();
    if (over == &panel) over = nullptr;
    const QWidget* keyboard = TouchKeyboardIn(over);
    const QJsonObject state{
        {"unit", selected ? unit : 0},
        {"online", online},
        {"onAir", onAir},
        {"menu", selected ? panel.m_currentMenu[unit] : -1},
        {"title", Latin(panel.m_titleLabel->Text())},
        {"menus", Buttons(panel.m_menuButtons.data(), kMenuButtons)},
        {"functions", Buttons(panel.m_functionButtons.data(), kFunctionButtons)},
        {"knobs", knobs},
        {"info", info},
        {"message", Latin(panel.m_infoPanel->Message())},
        {"alert", Latin(panel.m_infoPanel->Alert())},
        {"alt", panel.AltLatched()},
        {"lamps", lamps},
        {"dialog", over ? over->windowTitle() : QString()},
        {"keyboard", keyboard && keyboard->isVisible()},
    };
    return QJsonDocument(state).toJson(QJsonDocument::Compact).toStdString();
}

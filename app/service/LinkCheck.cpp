#include "app/service/LinkCheck.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "link/Commands.h"
#include "link/MenuDatabase.h"
#include "link/PanelHost.h"
#include "link/PanelState.h"
#include "link/UnitOperations.h"
#include "platform/PortIo.h"

namespace {

using Clock = std::chrono::steady_clock;

// Status reads for the timing, as many as the panel makes in a fifth of a second.
constexpr int kTimedExchanges = 10;

const char* StatusWords(LinkStatus status) {
    switch (status) {
        case kLinkOk:
            return "ok";
        case kLinkNoResponse:
            return "no answer";
        case kLinkBadLength:
            return "answer too long, or the wrong data count";
        case kLinkBadType:
            return "answer of the wrong type or length";
        case kLinkBusy:
            return "the far side stayed busy";
        case kLinkBadCode:
            return "answer with the wrong response code";
        default:
            return "unknown result";
    }
}

class Report {
public:
    explicit Report(std::FILE* out) : m_out(out) {}

    // Runs an exchange; one that was answered adds its time, one that was not is counted apart
    // (its time is the link's patience, not the far side's), and the link is reset after it as
    // the panel resets it, so that a late answer is not taken for the next one's.
    template <typename Call>
    LinkStatus Timed(Call call) {
        const auto start = Clock::now();
        const LinkStatus status = call();
        if (status == kLinkOk)
            m_microseconds.push_back(
                std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start)
                    .count());
        else {
            ++m_failed;
            ResetLinkTwice();
        }
        return status;
    }
    void Line(const char* label, const std::string& text) {
        std::fprintf(m_out, "%-12s%s\n", label, text.c_str());
    }
    std::string Timing() {
        const std::string failed =
            m_failed ? ", " + std::to_string(m_failed) + " without an answer not timed" : "";
        if (m_microseconds.empty()) return "no exchange answered" + failed;
        std::vector<long long> sorted = m_microseconds;
        std::sort(sorted.begin(), sorted.end());
        return "median " + std::to_string(sorted[sorted.size() / 2]) + " us, worst " +
               std::to_string(sorted.back()) + " us over " + std::to_string(sorted.size()) +
               " answered exchanges" + failed;
    }

private:
    std::FILE* m_out;
    std::vector<long long> m_microseconds;
    int m_failed = 0;
};

// Counts the bytes that come in on the data register, for the rate of a long read.
class CountingPort final : public PortIo {
public:
    explicit CountingPort(PortIo& inner) : m_inner(inner) {}
    uint8_t Read(uint16_t port) override {
        if (port == kDataPort) ++bytesIn;
        return m_inner.Read(port);
    }
    void Write(uint16_t port, uint8_t value) override { m_inner.Write(port, value); }
    size_t bytesIn = 0;

private:
    PortIo& m_inner;
};

std::string Result(LinkStatus status) {
    return std::to_string(status) + " (" + StatusWords(status) + ")";
}

std::string Printable(const std::string& text) {
    std::string shown;
    for (char c : text)
        shown += (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) ? c : ' ';
    while (!shown.empty() && shown.back() == ' ')
        shown.pop_back();
    return shown;
}

}  // namespace

int RunLinkCheck(const std::string& portName, std::FILE* out) {
    Report report(out);
    report.Line("port", portName);

    // The link start: the surface is configured and read, the lamps cleared.
    const LinkStatus configured = report.Timed([] { return ConfigurePanel(17, 16, 8, 4); });
    const LinkStatus status = report.Timed([] { return ReadPanelStatus(); });
    uint8_t version[kPanelVersionLength] = {};
    const LinkStatus versionRead = report.Timed([&] { return ReadPanelVersion(version); });
    const bool surface = configured == kLinkOk && status == kLinkOk;
    if (surface) {
        uint8_t lamps[kLampBytes];
        DarkLamps(lamps);
        report.Timed([&] { return SetPanelLamps(lamps); });
    }
    std::string surfaceText = "configure " + Result(configured) + ", status " + Result(status);
    if (versionRead == kLinkOk)
        surfaceText +=
            ", version " +
            Printable(std::string(reinterpret_cast<const char*>(version),
                                  strnlen(reinterpret_cast<const char*>(version), sizeof version)));
    else
        surfaceText += ", version " + Result(versionRead);
    if (surface)
        surfaceText += ", fan " + std::string(FanRunning(g_panelStatus) ? "running" : "STOPPED");
    report.Line("surface", surfaceText);
    for (int i = 0; i < kTimedExchanges && surface; ++i)
        report.Timed([] { return ReadPanelStatus(); });

    // The scan: each unit identified once; a unit that answers is read as a selection reads it.
    int firstOnLine = 0;
    for (int unit = 1; unit <= kUnitCount; ++unit) {
        UnitIdentity identity{};
        const LinkStatus identified =
            report.Timed([&] { return Identify(AddressOfUnit(unit), identity); });
        std::string text = "identify " + Result(identified);
        if (identified == kLinkOk) {
            char flags[8];
            std::snprintf(flags, sizeof flags, "%02X", identity.UnitFlags);
            text += ", model " + std::to_string(identity.ModelCode) + ", flags " + flags;
            g_selectedUnit = AddressOfUnit(unit);
            std::string title;
            const LinkStatus titled = report.Timed([&] { return ReadTitle(title); });
            text += titled == kLinkOk ? ", title \"" + Printable(title) + "\""
                                      : ", title " + Result(titled);
            if (!firstOnLine) firstOnLine = unit;
        }
        report.Line(("unit " + std::to_string(unit)).c_str(), text);
    }
    report.Line("exchange", report.Timing());

    // One longer read: the menu blob of the first unit on line, as a selection downloads it.
    if (firstOnLine) {
        g_selectedUnit = AddressOfUnit(firstOnLine);
        auto block = std::make_unique<MenuBlock>();
        PortIo& port = ThePortIo();
        CountingPort counting(port);
        SetPortIo(&counting);
        const auto start = Clock::now();
        const LinkStatus downloaded = DownloadMenus(*block);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        SetPortIo(&port);
        const size_t bytes = counting.bytesIn;
        char text[160];
        std::snprintf(text, sizeof text,
                      "menu blob of unit %d: %s, %zu bytes in %.3f s, %.0f bytes/s", firstOnLine,
                      StatusWords(downloaded), bytes, seconds, seconds > 0 ? bytes / seconds : 0.0);
        report.Line("long read", text);
    } else {
        report.Line("long read", "no unit on line");
    }
    g_selectedUnit = 0;
    report.Line("result", surface ? "the control surface answers: the panel can run"
                                  : "the control surface does not answer: see the README, "
                                    "\"Bringing up a panel PC\"");
    return surface ? 0 : 1;
}

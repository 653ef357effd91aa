#include "dialogs/AboutText.h"

#include <algorithm>
#include <cstring>

#include "link/PanelState.h"

namespace {

constexpr char kMarker = '^';

// The unit's information lines as the template takes them, one after the other.
class InfoLines {
public:
    InfoLines(const UnitInfoBuffer& info, int header) : m_info(info), m_position(header) {
        Restart(static_cast<size_t>(header));
    }

    // The text up to the next line feed, gone from the text; the counter moves past it.
    std::string Take() {
        std::string line = Drop();
        m_position += static_cast<int>(line.size()) + 1;
        return line;
    }
    // The same without moving the counter.
    std::string Drop() {
        const size_t feed = m_text.find('\n');
        std::string line = m_text.substr(0, feed);
        m_text.erase(0, feed == std::string::npos ? m_text.size() : feed + 1);
        return line;
    }
    std::string Rest() {
        std::string rest;
        rest.swap(m_text);
        return rest;
    }
    // A zero byte at the counter separates two runs of lines: the next run starts after it.
    void NextRunIfAtZero() {
        if (m_position < 0 || m_position >= kUnitInfoBytes || m_info[m_position] != 0) return;
        ++m_position;
        Restart(static_cast<size_t>(m_position));
    }

private:
    void Restart(size_t from) {
        m_text.clear();
        for (size_t i = from; i < m_info.size() && m_info[i] != 0; ++i)
            m_text.push_back(static_cast<char>(m_info[i]));
    }

    const UnitInfoBuffer& m_info;
    int m_position;
    std::string m_text;
};

// The template with its markers filled one by one, in order.
class Markers {
public:
    explicit Markers(std::string text) : m_text(std::move(text)) {}
    // A value goes in place of the next marker after the last value; what the unit sent is
    // never taken for a marker itself. Without a marker left the value has no place.
    void Fill(const std::string& value) {
        const size_t at = m_text.find(kMarker, m_from);
        if (at == std::string::npos) return;
        m_text.replace(at, 1, value);
        m_from = at + value.size();
    }
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
    size_t m_from = 0;
};

}  // namespace

std::string ProgramAboutText() {
    return std::string("Remote Version: ") + kProgramVersion + "\r\n" +
           "Release Date: " + kReleaseDate;
}

std::string UnitAboutText(const UnitInfoBuffer& info, const std::string& templateText,
                          uint8_t model, bool altMenus) {
    const bool alder = model == kModelAlder;
    const bool elm = model == kModelElm;
    const int header = alder ? 2 : elm && !altMenus ? 1 : 3;
    InfoLines lines(info, header);

    // The template starts at its first capital U; one without a U is taken whole.
    const size_t u = templateText.find('U');
    Markers about(u == std::string::npos ? templateText : templateText.substr(u));

    int left = static_cast<int8_t>(info[0]);
    if (!elm && !alder) --left;
    if (elm && altMenus) --left;
    auto fill = [&](const std::string& value) {
        about.Fill(value);
        --left;
    };

    if (alder) {
        fill(lines.Take());
        fill(lines.Take());
        fill(kProgramVersion);
        fill(kReleaseDate);
    } else {
        if (elm && !altMenus) {
            lines.Drop();
            --left;
        }
        fill(lines.Take());
        fill(kProgramVersion);
        fill(kReleaseDate);
        fill(lines.Take());
        fill(lines.Take());
    }
    // The count is a signed byte: at most 127 more values.
    while (left > 0) {
        lines.NextRunIfAtZero();
        fill(left == 1 ? lines.Rest() : lines.Take());
    }
    return about.Text();
}

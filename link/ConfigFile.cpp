#include "link/ConfigFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One section: its keys and values in the order the file gave them, always of equal length.
struct Section {
    std::string name;
    std::vector<std::string> keys;
    std::vector<std::string> values;
};

// A key within one section, for the lookup index.
struct EntryKey {
    size_t section;
    std::string key;
    bool operator==(const EntryKey&) const = default;
};

struct EntryKeyHash {
    size_t operator()(const EntryKey& k) const noexcept {
        size_t h = std::hash<std::string>{}(k.key);
        return h ^ (k.section + 0x9e3779b9 + (h << 6) + (h >> 2));
    }
};

// The ordered lists are what the file said; the two maps beside them only make lookups fast, so
// a file with many thousands of keys still loads in linear time.
struct Store {
    std::vector<Section> sections;
    std::unordered_map<std::string, size_t> sectionIndex;
    std::unordered_map<EntryKey, size_t, EntryKeyHash> entryIndex;  // position in keys/values
};

Store& TheStore() {
    static Store store;
    return store;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// White space as the C library's isspace sees it in the "C" locale.
bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string TrimBlanks(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

// One line, carriage returns already gone. A section line changes *section; anything else that
// is not empty is stored as an entry of it.
void ApplyLine(std::string_view line, std::string* section) {
    if (line.empty()) return;
    if (line.front() == '[' && line.back() == ']') {
        size_t begin = line.find_first_not_of('[');
        size_t end = line.find_last_not_of(']');
        // A line made only of brackets names the empty section.
        if (begin == std::string_view::npos || end == std::string_view::npos || end < begin)
            section->clear();
        else
            section->assign(line.substr(begin, end + 1 - begin));
        return;
    }
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        AddConfigEntry(*section, std::string(), std::string(line.substr(1)), true);
        return;
    }
    AddConfigEntry(*section, TrimBlanks(line.substr(0, equals)),
                   std::string(line.substr(equals + 1)), true);
}

}  // namespace

void LoadConfigText(const char* data, size_t size) {
    std::string section;
    std::string line;
    size_t pos = 0;
    while (pos < size) {
        line.clear();
        while (pos < size) {
            char c = data[pos++];
            if (c == '\n') break;
            if (c != '\r') line.push_back(c);
        }
        ApplyLine(line, &section);
    }
}

bool LoadConfigFile(const std::string& path) {
    // Non-blocking so that a FIFO at the path cannot stall start-up in open(); it is then turned
    // away as not a regular file.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        ::close(fd);
        return false;
    }
    // Only the first kConfigReadLimit bytes count; the rest of a larger file is ignored.
    size_t want = static_cast<size_t>(
        std::min<uintmax_t>(static_cast<uintmax_t>(info.st_size), kConfigReadLimit));
    std::vector<char> text(want);
    size_t got = 0;
    bool ok = true;
    while (got < want) {
        ssize_t n = ::read(fd, text.data() + got, want - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        if (n == 0) break;  // the file got shorter since fstat: what is there is all of it
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    if (!ok) {
        // Keep the lines that were complete before the failed read; drop the partial one.
        size_t lastFeed = std::string_view(text.data(), got).rfind('\n');
        got = lastFeed == std::string_view::npos ? 0 : lastFeed + 1;
    }
    LoadConfigText(text.data(), got);
    return ok;
}

std::string GetConfigValue(const std::string& section, const std::string& key) {
    const Store& store = TheStore();
    auto s = store.sectionIndex.find(section);
    if (s == store.sectionIndex.end()) return std::string(kConfigMissing);
    auto e = store.entryIndex.find(EntryKey{s->second, key});
    if (e == store.entryIndex.end()) return std::string(kConfigMissing);
    return store.sections[s->second].values[e->second];
}

bool AddConfigEntry(const std::string& section, const std::string& key, const std::string& value,
                    bool create) {
    Store& store = TheStore();
    size_t sectionPos;
    auto s = store.sectionIndex.find(section);
    if (s != store.sectionIndex.end()) {
        sectionPos = s->second;
    } else {
        if (!create) return false;
        sectionPos = store.sections.size();
        store.sections.push_back(Section{section, {}, {}});
        store.sectionIndex.emplace(section, sectionPos);
    }
    Section& target = store.sections[sectionPos];
    EntryKey entry{sectionPos, key};
    auto e = store.entryIndex.find(entry);
    if (e != store.entryIndex.end()) {
        target.values[e->second] = value;
        return true;
    }
    if (!create) return false;
    store.entryIndex.emplace(std::move(entry), target.keys.size());
    target.keys.push_back(key);
    target.values.push_back(value);
    return true;
}

int FindConfigSection(const std::string& name) {
    const Store& store = TheStore();
    auto s = store.sectionIndex.find(name);
    return s == store.sectionIndex.end() ? -1 : static_cast<int>(s->second);
}

void ResetConfig() {
    Store& store = TheStore();
    store.sections.clear();
    store.sectionIndex.clear();
    store.entryIndex.clear();
}

int ConfigNumber(const std::string& text) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && IsCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // The magnitude stops growing one past INT_MAX, which is exactly INT_MIN's magnitude.
    constexpr long long kCap = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = std::min(kCap, magnitude * 10 + (text[i] - '0'));
    if (negative) return static_cast<int>(-magnitude);
    return static_cast<int>(std::min(magnitude, kCap - 1));
}

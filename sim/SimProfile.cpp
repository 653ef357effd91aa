#include "sim/SimProfile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <mutex>
#include <set>

// The shipped profiles live in a resource file of this static library; nothing else refers to
// its object, so it is registered here by name (the macro must be used outside a namespace).
static void RegisterShippedProfiles() {
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(profiles); });
}

namespace {

constexpr char kShippedDir[] = ":/sim/profiles";
constexpr size_t kMaxName = 200;        // names, titles and the other short texts
constexpr size_t kMaxLabel = 24;        // label pair texts and switch state labels
constexpr size_t kMaxUnitInfo = 254;    // the unit-information answer carries 254 bytes of it
constexpr size_t kMaxFileBytes = 2800;  // the panel's transfer buffer
constexpr int kMaxLabelPairs = 3;
constexpr int kMaxItems = 20;
constexpr int kGroupAItems = 12;
constexpr int kNoControl = 128;

bool IsGroupA(int model) {
    return model == 4 || model == 5 || model == 7 || model == 9;
}

// Reads the fields of one JSON object; the first problem becomes the one-line reason, prefixed
// with where it was found ("control 59", "menus[3]", ...).
class Fields {
public:
    Fields(const QJsonObject& object, std::string where, std::string* error)
        : m_object(object), m_where(std::move(where)), m_error(error) {}

    void SetWhere(std::string where) { m_where = std::move(where); }

    bool Fail(const std::string& what) const {
        *m_error = m_where.empty() ? what : m_where + ": " + what;
        return false;
    }

    // Every key must be one of `known`: a misspelt key would otherwise drop a value silently.
    bool OnlyKeys(std::initializer_list<const char*> known) const {
        for (const QString& key : m_object.keys()) {
            bool found = false;
            for (const char* k : known)
                found = found || key == QLatin1String(k);
            if (!found) return Fail("unknown key \"" + key.toStdString() + "\"");
        }
        return true;
    }

    bool Has(const char* key) const { return m_object.contains(QLatin1String(key)); }

    // An optional integer in lo..hi; *out keeps its value when the key is absent.
    template <typename T>
    bool Int(const char* key, double lo, double hi, T* out) const {
        if (!Has(key)) return true;
        double v = 0;
        if (!IntValue(m_object.value(QLatin1String(key)), key, lo, hi, &v)) return false;
        *out = static_cast<T>(v);
        return true;
    }

    bool Text(const char* key, size_t maxBytes, std::string* out) const {
        if (!Has(key)) return true;
        return TextValue(m_object.value(QLatin1String(key)), key, maxBytes, out);
    }

    // An optional array; *out is left empty when the key is absent.
    bool Array(const char* key, QJsonArray* out) const {
        *out = QJsonArray();
        if (!Has(key)) return true;
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (!v.isArray()) return Fail("\"" + std::string(key) + "\" is not an array");
        *out = v.toArray();
        return true;
    }

    // An optional object; *out is left empty when the key is absent.
    bool Object(const char* key, QJsonObject* out) const {
        *out = QJsonObject();
        if (!Has(key)) return true;
        const QJsonValue v = m_object.value(QLatin1String(key));
        if (!v.isObject()) return Fail("\"" + std::string(key) + "\" is not an object");
        *out = v.toObject();
        return true;
    }

    // An optional array of integers in lo..hi, with at most maxCount entries (exactly that many
    // when `exact`).
    template <typename T>
    bool IntList(const char* key, double lo, double hi, int maxCount, bool exact,
                 std::vector<T>* out) const {
        QJsonArray array;
        if (!Array(key, &array)) return false;
        if (!Has(key)) return true;
        const std::string k(key);
        if (exact && array.size() != maxCount)
            return Fail("\"" + k + "\" has " + std::to_string(array.size()) + " entries, not " +
                        std::to_string(maxCount));
        if (array.size() > maxCount)
            return Fail("\"" + k + "\" has " + std::to_string(array.size()) + " entries; at most " +
                        std::to_string(maxCount));
        out->clear();
        for (const QJsonValue& entry : array) {
            double v = 0;
            if (!IntValue(entry, k + " entry", lo, hi, &v)) return false;
            out->push_back(static_cast<T>(v));
        }
        return true;
    }

    template <typename T, size_t N>
    bool IntArray(const char* key, double lo, double hi, std::array<T, N>* out) const {
        std::vector<T> list;
        if (!IntList(key, lo, hi, static_cast<int>(N), true, &list)) return false;
        if (Has(key)) std::copy(list.begin(), list.end(), out->begin());
        return true;
    }

    bool IntValue(const QJsonValue& v, const std::string& what, double lo, double hi,
                  double* out) const {
        if (!v.isDouble()) return Fail("\"" + what + "\" is not a number");
        const double d = v.toDouble();
        if (std::floor(d) != d) return Fail("\"" + what + "\" is not an integer");
        if (d < lo || d > hi)
            return Fail("\"" + what + "\" " + Number(d) + " is outside " + Number(lo) + ".." +
                        Number(hi));
        *out = d;
        return true;
    }

    bool TextValue(const QJsonValue& v, const std::string& what, size_t maxBytes,
                   std::string* out) const {
        if (!v.isString()) return Fail("\"" + what + "\" is not a text");
        std::string text = v.toString().toStdString();
        if (text.size() > maxBytes)
            return Fail("\"" + what + "\" is " + std::to_string(text.size()) +
                        " bytes long; at most " + std::to_string(maxBytes));
        *out = std::move(text);
        return true;
    }

private:
    // An integral number of any size: one beyond what a long long holds (1e300 in a file) is
    // written in exponent form rather than converted.
    static std::string Number(double d) {
        constexpr double kLongLongLimit = 9.2e18;
        if (std::fabs(d) < kLongLongLimit) return std::to_string(static_cast<long long>(d));
        char text[32];
        std::snprintf(text, sizeof text, "%g", d);
        return text;
    }

    QJsonObject m_object;
    std::string m_where;
    std::string* m_error;
};

// Runs `parse` on every entry of the array `key` of `top`, each entry an object.
template <typename Parse>
bool ForEachObject(const Fields& top, const char* key, Parse parse) {
    QJsonArray array;
    if (!top.Array(key, &array)) return false;
    for (int i = 0; i < array.size(); ++i) {
        const std::string where = std::string(key) + "[" + std::to_string(i) + "]";
        if (!array[i].isObject()) return top.Fail(where + " is not an object");
        if (!parse(array[i].toObject(), where)) return false;
    }
    return true;
}

// Reads "id" first so that later reasons name the record by it; rejects a repeated id.
bool ReadId(Fields& f, const char* kind, double lo, double hi, std::set<int>* seen, int* id) {
    if (!f.Has("id")) return f.Fail("missing \"id\"");
    if (!f.Int("id", lo, hi, id)) return false;
    f.SetWhere(std::string(kind) + " " + std::to_string(*id));
    if (!seen->insert(*id).second) return f.Fail("duplicate id");
    return true;
}

bool ParseLabels(const Fields& f, std::vector<SimLabelPair>* out) {
    QJsonArray pairs;
    if (!f.Array("labels", &pairs)) return false;
    if (pairs.size() > kMaxLabelPairs)
        return f.Fail(std::to_string(pairs.size()) + " label pairs; at most " +
                      std::to_string(kMaxLabelPairs));
    for (const QJsonValue& pair : pairs) {
        const QJsonArray texts = pair.toArray();
        if (!pair.isArray() || texts.size() != 2)
            return f.Fail("a label pair is not an array of two texts");
        SimLabelPair p;
        if (!f.TextValue(texts[0], "label", kMaxLabel, &p.first)) return false;
        if (!f.TextValue(texts[1], "label", kMaxLabel, &p.second)) return false;
        out->push_back(std::move(p));
    }
    return true;
}

bool ParseControl(const QJsonObject& o, const std::string& where, std::set<int>* seen,
                  SimControl* c, std::string* error) {
    Fields f(o, where, error);
    return ReadId(f, "control", 0, 128, seen, &c->id) &&
           f.OnlyKeys({"id", "type", "attributes", "mask", "min", "max", "displayMin", "displayMax",
                       "name", "extra", "labels", "value", "reset", "value2", "linkedSwitch",
                       "linkOffset"}) &&
           f.Int("type", 0, 65535, &c->type) && f.Int("attributes", 0, 65535, &c->attributes) &&
           f.Int("mask", 0, 4294967295.0, &c->mask) && f.Int("min", -32768, 32767, &c->minValue) &&
           f.Int("max", -32768, 32767, &c->maxValue) &&
           f.Int("displayMin", -32768, 32767, &c->minDisplay) &&
           f.Int("displayMax", -32768, 32767, &c->maxDisplay) &&
           f.Text("name", kMaxName, &c->name) && f.Text("extra", kMaxName, &c->extra) &&
           ParseLabels(f, &c->labels) && f.Int("value", -32768, 32767, &c->value) &&
           f.Int("reset", -32768, 32767, &c->resetValue) &&
           f.Int("value2", -32768, 65535, &c->value2) &&
           f.Int("linkedSwitch", 128, 254, &c->linkedSwitch) &&
           f.Int("linkOffset", -32768, 32767, &c->linkOffset);
}

bool ParseSwitch(const QJsonObject& o, const std::string& where, std::set<int>* seen, SimSwitch* s,
                 std::string* error) {
    Fields f(o, where, error);
    if (!ReadId(f, "switch", 128, 254, seen, &s->id) ||
        !f.OnlyKeys({"id", "type", "attributes", "mask", "min", "max", "text", "states", "value",
                     "value2"}) ||
        !f.Int("type", 0, 65535, &s->type) || !f.Int("attributes", 0, 65535, &s->attributes) ||
        !f.Int("mask", 0, 4294967295.0, &s->mask) || !f.Int("min", -32768, 32767, &s->minValue) ||
        !f.Int("max", -32768, 32767, &s->maxValue) || !f.Text("text", kMaxName, &s->text) ||
        !f.Int("value", 0, 255, &s->value) || !f.Int("value2", -32768, 65535, &s->value2))
        return false;
    QJsonArray states;
    if (!f.Array("states", &states)) return false;
    for (const QJsonValue& state : states) {
        std::string label;
        if (!f.TextValue(state, "state", kMaxLabel, &label)) return false;
        s->states.push_back(std::move(label));
    }
    return true;
}

bool ParseMenu(const QJsonObject& o, const std::string& where, int model, std::set<int>* seen,
               SimMenu* m, std::string* error) {
    Fields f(o, where, error);
    if (!ReadId(f, "menu", 0, 63, seen, &m->id) ||
        !f.OnlyKeys({"id", "type", "attributes", "knobs", "items", "name", "title"}) ||
        !f.Int("type", 0, 65535, &m->type) || !f.Int("attributes", 0, 65535, &m->attributes) ||
        !f.IntArray("knobs", 0, kNoControl, &m->knobs) ||
        !f.IntList("items", 0, 255, kMaxItems, false, &m->items) ||
        !f.Text("name", kMaxName, &m->name) || !f.Text("title", kMaxName, &m->title))
        return false;
    if (IsGroupA(model) && m->items.size() > static_cast<size_t>(kGroupAItems))
        return f.Fail(std::to_string(m->items.size()) + " items; a model " + std::to_string(model) +
                      " menu holds " + std::to_string(kGroupAItems));
    return true;
}

bool ParseMessage(const QJsonObject& o, const std::string& where, std::set<int>* seen,
                  SimMessage* m, std::string* error) {
    Fields f(o, where, error);
    return ReadId(f, "message", 0, 199, seen, &m->id) &&
           f.OnlyKeys({"id", "code", "text", "message"}) && f.Int("code", 0, 65535, &m->code) &&
           f.Text("text", kMaxName, &m->text) && f.Text("message", std::string::npos, &m->message);
}

bool ParseCustomMenus(const Fields& f, std::vector<SimCustomMenu>* out, std::string* error) {
    QJsonArray menus;
    if (!f.Array("customMenus", &menus)) return false;
    if (menus.size() > 4) return f.Fail("more than 4 custom menus");
    for (const QJsonValue& v : menus) {
        if (!v.isObject()) return f.Fail("a custom menu is not an object");
        Fields cm(v.toObject(), "", error);
        SimCustomMenu menu;
        if (!cm.OnlyKeys({"knobs", "buttons"}) ||
            !cm.IntArray("knobs", 0, kNoControl, &menu.knobs) ||
            !cm.IntArray("buttons", 0, 127, &menu.buttons))
            return f.Fail(*error);
        out->push_back(menu);
    }
    return true;
}

bool ParseFile(const QJsonObject& o, const std::string& where, const char* kind, bool user,
               std::set<int>* seen, SimFile* file, std::string* error) {
    Fields f(o, where, error);
    if (!ReadId(f, kind, 0, 65535, seen, &file->id)) return false;
    if (user ? !f.OnlyKeys({"id", "word2", "name", "contents", "customMenus"})
             : !f.OnlyKeys({"id", "word2", "name", "contents"}))
        return false;
    return f.Int("word2", 0, 65535, &file->word2) && f.Text("name", kMaxName, &file->name) &&
           f.IntList("contents", 0, 255, kMaxFileBytes, false, &file->contents) &&
           ParseCustomMenus(f, &file->customMenus, error);
}

bool ParseEffect(const QJsonObject& o, const std::string& where, std::set<int>* seen, SimEffect* e,
                 std::string* error) {
    Fields f(o, where, error);
    if (!ReadId(f, "effect", 0, 65535, seen, &e->id) ||
        !f.OnlyKeys({"id", "name", "word", "assignments", "keyframes"}) ||
        !f.Text("name", kMaxName, &e->name) || !f.Int("word", 0, 65535, &e->word) ||
        !f.IntList("assignments", 0, 255, 32, false, &e->assignments))
        return false;
    QJsonArray keyframes;
    if (!f.Array("keyframes", &keyframes)) return false;
    if (keyframes.size() > 32) return f.Fail("more than 32 keyframes");
    for (const QJsonValue& v : keyframes) {
        if (!v.isObject()) return f.Fail("a keyframe is not an object");
        Fields kf(v.toObject(), "", error);
        SimKeyframe k;
        if (!kf.OnlyKeys({"time", "bytes"}) || !kf.Int("time", 0, 65535, &k.time) ||
            !kf.IntArray("bytes", 0, 255, &k.bytes))
            return f.Fail(*error);
        e->keyframes.push_back(k);
    }
    return true;
}

bool ParseGpiSequence(const QJsonObject& o, const std::string& where, std::set<int>* seen,
                      SimGpiSequence* g, std::string* error) {
    Fields f(o, where, error);
    if (!ReadId(f, "GPI sequence", 0, 65535, seen, &g->id) ||
        !f.OnlyKeys({"id", "name", "current", "events"}) || !f.Text("name", kMaxName, &g->name))
        return false;
    QJsonArray events;
    if (!f.Array("events", &events)) return false;
    if (events.size() > 200) return f.Fail("more than 200 events");
    for (const QJsonValue& v : events) {
        const QJsonArray pair = v.toArray();
        if (!v.isArray() || pair.size() != 2)
            return f.Fail("an event is not a pair [first byte, file id]");
        double first = 0, file = 0;
        if (!f.IntValue(pair[0], "event byte", 0, 255, &first) ||
            !f.IntValue(pair[1], "event file id", 0, 255, &file))
            return false;
        g->events.push_back({static_cast<uint8_t>(first), static_cast<uint8_t>(file)});
    }
    return f.Int("current", 0, static_cast<double>(g->events.size()), &g->current);
}

// A control linked to a switch must name a defined switch no other control names, with the same
// range and start value once the offset is added.
bool CheckLinks(const SimProfile& p, std::string* error) {
    std::map<int, int> linkedBy;  // switch id -> control id
    for (const SimControl& c : p.controls) {
        if (c.linkedSwitch == 0) continue;
        auto fail = [&](const std::string& what) {
            *error = "control " + std::to_string(c.id) + ": " + what;
            return false;
        };
        const std::string name = "switch " + std::to_string(c.linkedSwitch);
        const auto s = std::find_if(p.switches.begin(), p.switches.end(),
                                    [&](const SimSwitch& s) { return s.id == c.linkedSwitch; });
        if (s == p.switches.end()) return fail("\"linkedSwitch\" " + name + " is not defined");
        if (auto [at, fresh] = linkedBy.emplace(c.linkedSwitch, c.id); !fresh)
            return fail(name + " is already linked to control " + std::to_string(at->second));
        const int offset = c.linkOffset;
        if (c.minValue != s->minValue + offset || c.maxValue != s->maxValue + offset)
            return fail("range " + std::to_string(c.minValue) + ".." + std::to_string(c.maxValue) +
                        " is not " + name + "'s " + std::to_string(s->minValue) + ".." +
                        std::to_string(s->maxValue) + " plus \"linkOffset\" " +
                        std::to_string(offset));
        if (c.value != s->value + offset)
            return fail("value " + std::to_string(c.value) + " is not " + name + "'s " +
                        std::to_string(s->value) + " plus \"linkOffset\" " +
                        std::to_string(offset));
    }
    return true;
}

bool ParseLocks(const Fields& top, const std::set<int>& controls, const std::set<int>& switches,
                SimProfile* p, std::string* error) {
    QJsonObject locks;
    if (!top.Object("locks", &locks)) return false;
    Fields f(locks, "locks", error);
    if (!f.OnlyKeys({"controls", "switches"}) ||
        !f.IntList("controls", 0, 127, 128, false, &p->lockedControls) ||
        !f.IntList("switches", 128, 254, 127, false, &p->lockedSwitches))
        return false;
    for (int id : p->lockedControls)
        if (!controls.count(id)) return f.Fail("control " + std::to_string(id) + " is not defined");
    for (int id : p->lockedSwitches)
        if (!switches.count(id)) return f.Fail("switch " + std::to_string(id) + " is not defined");
    return true;
}

}  // namespace

bool ParseSimProfile(const std::string& json, SimProfile* out, std::string* error) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &parseError);
    if (doc.isNull()) {
        *error = "not JSON: " + parseError.errorString().toStdString() + " at offset " +
                 std::to_string(parseError.offset);
        return false;
    }
    if (!doc.isObject()) {
        *error = "not a JSON object";
        return false;
    }
    const QJsonObject root = doc.object();
    Fields top(root, "", error);
    SimProfile p;
    if (!top.OnlyKeys({"name", "model", "flags", "currentMenu", "title", "unitText", "unitInfo",
                       "controls", "switches", "menus", "messages", "files", "userFiles", "effects",
                       "gpiSequences", "locks", "effectSavedMessage", "adjustFullRange"}))
        return false;
    if (!top.Has("model")) return top.Fail("missing \"model\"");
    if (!top.Int("model", 1, 255, &p.model) || !top.Text("name", kMaxName, &p.name) ||
        !top.Int("flags", 0, 255, &p.flags) || !top.Int("currentMenu", 0, 63, &p.currentMenu) ||
        !top.Text("title", kMaxName, &p.title) || !top.Text("unitText", kMaxName, &p.unitText) ||
        !top.Text("unitInfo", kMaxUnitInfo, &p.unitInfo) ||
        !top.Int("effectSavedMessage", 0, 199, &p.effectSavedMessage) ||
        !top.Int("adjustFullRange", 0, 65535, &p.adjustFullRange))
        return false;

    std::set<int> controls, switches, menus, messages, files, userFiles, effects, gpi;
    const bool ok =
        ForEachObject(top, "controls",
                      [&](const QJsonObject& o, const std::string& where) {
                          return ParseControl(o, where, &controls, &p.controls.emplace_back(),
                                              error);
                      }) &&
        ForEachObject(top, "switches",
                      [&](const QJsonObject& o, const std::string& where) {
                          return ParseSwitch(o, where, &switches, &p.switches.emplace_back(),
                                             error);
                      }) &&
        ForEachObject(top, "menus",
                      [&](const QJsonObject& o, const std::string& where) {
                          return ParseMenu(o, where, p.model, &menus, &p.menus.emplace_back(),
                                           error);
                      }) &&
        ForEachObject(top, "messages",
                      [&](const QJsonObject& o, const std::string& where) {
                          return ParseMessage(o, where, &messages, &p.messages.emplace_back(),
                                              error);
                      }) &&
        ForEachObject(top, "files",
                      [&](const QJsonObject& o, const std::string& where) {
                          return ParseFile(o, where, "file", false, &files, &p.files.emplace_back(),
                                           error);
                      }) &&
        ForEachObject(top, "userFiles",
                      [&](const QJsonObject& o, const std::string& where) {
                          return ParseFile(o, where, "user file", true, &userFiles,
                                           &p.userFiles.emplace_back(), error);
                      }) &&
        ForEachObject(top, "effects",
                      [&](const QJsonObject& o, const std::string& where) {
                          return ParseEffect(o, where, &effects, &p.effects.emplace_back(), error);
                      }) &&
        ForEachObject(top, "gpiSequences", [&](const QJsonObject& o, const std::string& where) {
            return ParseGpiSequence(o, where, &gpi, &p.gpiSequences.emplace_back(), error);
        });
    if (!ok) return false;
    if (!CheckLinks(p, error) || !ParseLocks(top, controls, switches, &p, error)) return false;
    if (p.effectSavedMessage != 0 && !messages.count(p.effectSavedMessage))
        return top.Fail("\"effectSavedMessage\" " + std::to_string(p.effectSavedMessage) +
                        " names no message");
    *out = std::move(p);
    return true;
}

bool LoadSimProfile(const std::string& path, SimProfile* out, std::string* error) {
    RegisterShippedProfiles();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + ": " + file.errorString().toStdString();
        return false;
    }
    if (!ParseSimProfile(file.readAll().toStdString(), out, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}

std::vector<std::string> ShippedProfileNames() {
    RegisterShippedProfiles();
    const QStringList entries = QDir(QLatin1String(kShippedDir))
                                    .entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    std::vector<std::string> names;
    for (const QString& entry : entries)
        names.push_back(entry.chopped(5).toStdString());
    return names;
}

SimProfile ShippedProfile(const std::string& name) {
    SimProfile profile;
    std::string error;
    const std::string path = std::string(kShippedDir) + "/" + name + ".json";
    if (!LoadSimProfile(path, &profile, &error))
        qFatal("shipped simulator profile \"%s\" is unusable: %s", name.c_str(), error.c_str());
    return profile;
}

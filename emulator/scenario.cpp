#include "scenario.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>

#include "report.h"

namespace gaugehost {

using nlohmann::json;

namespace {

constexpr uint32_t kChild = 2;

// The variable each key event the host handles moves.
const std::map<uint32_t, uint32_t> kEventToken = {
    {key::kPressureUp, 75},    {key::kPressureDown, 75},  {key::kHeadingBugUp, 855},
    {key::kHeadingBugDown, 855}, {key::kCourseUp, 45},     {key::kCourseDown, 45},
};

std::string num(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::string box_text(const std::array<int32_t, 4>& b) {
    std::ostringstream o;
    o << "(" << b[0] << ", " << b[1] << ", " << b[2] << ", " << b[3] << ")";
    return o.str();
}

// Runs `act` and records what the module and the host did meanwhile.
template <typename Act>
void Record(Host& host, ClickOutcome& out, Act act) {
    const size_t calls = host.service_calls().size(), events = host.key_events().size();
    act();
    out.service_calls.assign(host.service_calls().begin() + long(calls), host.service_calls().end());
    out.key_events.assign(host.key_events().begin() + long(events), host.key_events().end());
    for (const KeyEvent& k : out.key_events)
        if (auto it = kEventToken.find(k.event); it != kEventToken.end()) out.moved[it->second] = host.get(it->second);
}

std::string where(size_t step) { return "step " + std::to_string(step + 1); }

double ValueOf(const json& v, const std::string& who) {
    if (v.is_number()) return v.get<double>();
    if (v.is_string()) {
        const std::string s = v.get<std::string>();
        if (s == "nan") return std::numeric_limits<double>::quiet_NaN();
        if (s == "inf") return std::numeric_limits<double>::infinity();
        if (s == "-inf") return -std::numeric_limits<double>::infinity();
    }
    throw Error(who + " is " + v.dump() + ", not a number (or \"nan\", \"inf\", \"-inf\")");
}

uint32_t TokenOf(const std::string& key, const std::string& who) {
    size_t used = 0;
    unsigned long long v = 0;
    bool ok = !key.empty() && key[0] != '-' && key[0] != '+';
    if (ok) {
        try {
            v = std::stoull(key, &used, 0);
        } catch (const std::exception&) {
            ok = false;
        }
    }
    if (!ok || used != key.size() || v > 0xFFFFFFFFull)
        throw Error(who + ": \"" + key + "\" is not a token (a 32-bit unsigned number)");
    return uint32_t(v);
}

int32_t CoordinateOf(const json& v, const std::string& who) {
    if (!v.is_number_integer() || v.get<int64_t>() < INT32_MIN || v.get<int64_t>() > INT32_MAX)
        throw Error(who + " is " + v.dump() + ", not a 32-bit integer");
    return int32_t(v.get<int64_t>());
}

ScenarioClick ClickOf(const json& c, const std::string& who) {
    if (!c.is_object()) throw Error(who + " is " + c.dump() + ", not an object with \"gauge\" and \"area\" or \"at\"");
    for (auto it = c.begin(); it != c.end(); ++it)
        if (it.key() != "gauge" && it.key() != "area" && it.key() != "at")
            throw Error(who + ": unknown key \"" + it.key() + "\"; valid: gauge, area, at");
    ScenarioClick out;
    if (!c.contains("gauge") || !c["gauge"].is_string()) throw Error(who + " needs \"gauge\": a gauge name");
    out.gauge = c["gauge"].get<std::string>();
    if (c.contains("area") == c.contains("at")) throw Error(who + " needs exactly one of \"area\" and \"at\"");
    if (c.contains("area")) {
        const json& a = c["area"];
        if (!a.is_number_integer() || a.get<int64_t>() < 0 || a.get<int64_t>() > INT32_MAX)
            throw Error(who + ": \"area\" is " + a.dump() + ", not a mouse-entry index from 0");
        out.area = int(a.get<int64_t>());
    } else {
        const json& at = c["at"];
        if (!at.is_array() || at.size() != 2) throw Error(who + ": \"at\" is " + at.dump() + ", not [x, y]");
        out.at = std::array<int32_t, 2>{CoordinateOf(at[0], who + ": x"), CoordinateOf(at[1], who + ": y")};
    }
    return out;
}

}  // namespace

std::optional<int> hit_test(const GaugeModel& gauge, int32_t x, int32_t y) {
    for (size_t i = 0; i < gauge.mouse.size(); ++i) {
        const MouseRectModel& m = gauge.mouse[i];
        if (m.rect_type != kChild) continue;
        // 64-bit so that a box reaching past INT32_MAX cannot wrap.
        const int64_t left = m.box[0], top = m.box[1], right = left + m.box[2], bottom = top + m.box[3];
        if (x >= left && x < right && y >= top && y < bottom) return int(i);
    }
    return std::nullopt;
}

ClickOutcome click_area(Host& host, const std::string& name, int entry) {
    const GaugeModel& g = host.gauge(name);
    if (entry < 0 || entry >= int(g.mouse.size()))
        throw Error("gauge " + g.name + " has no mouse entry " + std::to_string(entry) + " (it has " +
                    std::to_string(g.mouse.size()) + ", numbered from 0)");
    const MouseRectModel& m = g.mouse[size_t(entry)];
    if (m.rect_type != kChild)
        throw Error("gauge " + g.name + " mouse entry " + std::to_string(entry) + " is not a clickable area (rect_type " +
                    std::to_string(m.rect_type) + "; areas are the children, rect_type 2)");
    ClickOutcome out;
    out.gauge = g.name;
    out.entry = entry;
    out.box = m.box;
    out.event_id = m.event_id;
    out.mouse_function = m.mouse_function;
    Record(host, out, [&] { out.result = host.click(g.name, entry); });
    return out;
}

ClickOutcome click_at(Host& host, const std::string& name, int32_t x, int32_t y) {
    const GaugeModel& g = host.gauge(name);
    std::optional<int> entry = hit_test(g, x, y);
    ClickOutcome out;
    if (entry) out = click_area(host, g.name, *entry);
    out.gauge = g.name;
    out.point = std::array<int32_t, 2>{x, y};
    return out;
}

Scenario parse_scenario(const json& doc) {
    if (!doc.is_object() || !doc.contains("steps")) throw Error("scenario is not an object with \"steps\"");
    for (auto it = doc.begin(); it != doc.end(); ++it)
        if (it.key() != "steps") throw Error("scenario: unknown key \"" + it.key() + "\"; valid: steps");
    const json& steps = doc["steps"];
    if (!steps.is_array() || steps.empty()) throw Error("scenario: \"steps\" is not a non-empty list");
    Scenario out;
    for (size_t i = 0; i < steps.size(); ++i) {
        const json& s = steps[i];
        const std::string who = where(i);
        if (!s.is_object()) throw Error(who + " is " + s.dump() + ", not an object");
        for (auto it = s.begin(); it != s.end(); ++it)
            if (it.key() != "t" && it.key() != "note" && it.key() != "set" && it.key() != "click" && it.key() != "show")
                throw Error(who + ": unknown key \"" + it.key() + "\"; valid: t, note, set, click, show");
        ScenarioStep step;
        if (!s.contains("t") || !s["t"].is_number() || !std::isfinite(s["t"].get<double>()))
            throw Error(who + " needs \"t\": its time in seconds");
        step.t = s["t"].get<double>();
        if (s.contains("note")) {
            if (!s["note"].is_string()) throw Error(who + ": \"note\" is " + s["note"].dump() + ", not text");
            step.note = s["note"].get<std::string>();
        }
        if (!out.steps.empty() && step.t < out.steps.back().t)
            throw Error(who + ": \"t\" " + num(step.t) + " goes back from " + num(out.steps.back().t));
        if (!s.contains("set") && !s.contains("click") && !s.contains("show"))
            throw Error(who + " does nothing: give \"set\", \"click\" or \"show\"");
        if (s.contains("set")) {
            if (!s["set"].is_object()) throw Error(who + ": \"set\" is not an object of token: value");
            for (auto it = s["set"].begin(); it != s["set"].end(); ++it) {
                uint32_t token = TokenOf(it.key(), who + ": \"set\"");
                step.sets.emplace_back(token, ValueOf(it.value(), who + ": \"set\" token " + it.key()));
            }
        }
        if (s.contains("click")) {
            const json& c = s["click"];
            if (c.is_array()) {
                for (size_t k = 0; k < c.size(); ++k)
                    step.clicks.push_back(ClickOf(c[k], who + ": click " + std::to_string(k + 1)));
            } else {
                step.clicks.push_back(ClickOf(c, who + ": click"));
            }
        }
        if (s.contains("show")) {
            const json& show = s["show"];
            if (show.is_string()) {
                step.show.push_back(show.get<std::string>());
            } else if (show.is_array()) {
                for (const json& g : show) {
                    if (!g.is_string()) throw Error(who + ": \"show\" holds " + g.dump() + ", not a gauge name");
                    step.show.push_back(g.get<std::string>());
                }
            } else {
                throw Error(who + ": \"show\" is " + show.dump() + ", not a gauge name or a list of them");
            }
        }
        out.steps.push_back(std::move(step));
    }
    return out;
}

Scenario load_scenario(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw Error("cannot open scenario " + path);
    json doc;
    try {
        doc = json::parse(in);
    } catch (const json::parse_error& e) {
        throw Error("scenario " + path + " is not JSON: " + e.what());
    }
    try {
        return parse_scenario(doc);
    } catch (const Error& e) {
        throw Error("scenario " + path + ": " + e.what());
    }
}

std::vector<StepOutcome> run_scenario(Host& host, const Scenario& scenario) {
    // Every gauge name is checked before anything runs, so a typo cannot leave a half-played run.
    for (size_t i = 0; i < scenario.steps.size(); ++i) {
        try {
            for (const ScenarioClick& c : scenario.steps[i].clicks) host.gauge(c.gauge);
            for (const std::string& g : scenario.steps[i].show) host.gauge(g);
        } catch (const Error& e) {
            throw Error(where(i) + ": " + e.what());
        }
    }
    std::vector<StepOutcome> out;
    for (size_t i = 0; i < scenario.steps.size(); ++i) {
        const ScenarioStep& step = scenario.steps[i];
        StepOutcome o;
        o.number = int(i + 1);
        o.t = step.t;
        o.note = step.note;
        try {
            for (auto [token, value] : step.sets) host.set(token, value);
            for (const ScenarioClick& c : step.clicks)
                o.clicks.push_back(c.area ? click_area(host, c.gauge, *c.area)
                                          : click_at(host, c.gauge, (*c.at)[0], (*c.at)[1]));
            for (const std::string& g : step.show) o.shown.push_back({host.gauge(g).name, host.update(g)});
        } catch (const Error& e) {
            throw Error(where(i) + ": " + e.what());
        }
        out.push_back(std::move(o));
    }
    return out;
}

std::string click_text(const ClickOutcome& c) {
    std::ostringstream o;
    o << c.gauge;
    if (c.point) o << " at (" << (*c.point)[0] << ", " << (*c.point)[1] << ")";
    if (!c.entry) {
        o << ": no area there; nothing sent\n";
        return o.str();
    }
    o << (c.point ? " hits" : "") << " area " << *c.entry << " " << box_text(c.box) << ": ";
    if (c.event_id)
        o << "key event " << hex(c.event_id) << " sent";
    else
        o << "mouse function " << hex(c.mouse_function) << " returned " << c.result;
    o << "\n";
    // The module's own key events, counted per event id in order of first sending.
    std::vector<std::pair<uint32_t, int>> sent;
    for (const KeyEvent& k : c.key_events) {
        if (!k.from_module) continue;
        if (sent.empty() || sent.back().first != k.event)
            sent.emplace_back(k.event, 1);
        else
            ++sent.back().second;
    }
    for (auto [event, count] : sent) o << "  module sent key event " << hex(event) << " x" << count << "\n";
    int lookups = 0;
    for (const ServiceCall& s : c.service_calls) lookups += s.entry == service::kLookupVar;
    if (lookups) o << "  module looked up " << lookups << " variable(s)\n";
    for (auto [token, value] : c.moved) o << "  token " << token << " now " << num(value) << "\n";
    return o.str();
}

json click_json(const ClickOutcome& c) {
    json j = {{"gauge", c.gauge}};
    if (c.point) j["at"] = *c.point;
    if (!c.entry) {
        j["area"] = nullptr;
        return j;
    }
    j["area"] = *c.entry;
    j["box"] = c.box;
    if (c.event_id) j["event_id"] = hex(c.event_id);
    if (c.mouse_function) {
        j["mouse_function"] = hex(c.mouse_function);
        j["result"] = c.result;
    }
    json events = json::array();
    for (const KeyEvent& k : c.key_events)
        events.push_back({{"event", hex(k.event)}, {"parameter", k.parameter}, {"from_module", k.from_module}});
    j["key_events"] = events;
    json calls = json::array();
    for (const ServiceCall& s : c.service_calls) {
        json args = json::array();
        for (uint32_t a : s.args) args.push_back(hex(a));
        calls.push_back({{"entry", s.entry}, {"args", args}});
    }
    j["service_calls"] = calls;
    json moved = json::object();
    for (auto [token, value] : c.moved) moved[std::to_string(token)] = value;
    j["moved"] = moved;
    return j;
}

std::string scenario_text(const Host& host, const std::vector<StepOutcome>& steps) {
    std::ostringstream o;
    for (const StepOutcome& s : steps) {
        o << "step " << s.number << " t=" << num(s.t) << (s.note.empty() ? "" : "  " + s.note) << "\n";
        for (const ClickOutcome& c : s.clicks) o << "  click " << click_text(c);
        for (const ShownGauge& g : s.shown) {
            std::istringstream lines(results_text(host.gauge(g.gauge), g.results));
            for (std::string line; std::getline(lines, line);) o << "  " << line << "\n";
        }
    }
    return o.str();
}

json scenario_json(const Host& host, const std::vector<StepOutcome>& steps) {
    json out = json::array();
    for (const StepOutcome& s : steps) {
        json clicks = json::array(), shown = json::array();
        for (const ClickOutcome& c : s.clicks) clicks.push_back(click_json(c));
        for (const ShownGauge& g : s.shown) shown.push_back(results_json(host.gauge(g.gauge), g.results));
        json j = {{"step", s.number}, {"t", s.t}, {"clicks", clicks}, {"shown", shown}};
        if (!s.note.empty()) j["note"] = s.note;
        out.push_back(j);
    }
    return {{"steps", out}};
}

}  // namespace gaugehost

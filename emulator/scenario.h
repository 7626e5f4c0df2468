// Clicks as the host makes them, and scenarios played through one loaded module.
//
//   auto area = gaugehost::hit_test(host.gauge("KOHLSMAN"), 22, 10);   // nullopt: the gap
//   auto c = gaugehost::click_at(host, "Clock", 350, 50);               // hit-test, then act
//   auto s = gaugehost::load_scenario("scenarios/stopwatch.json");
//   auto steps = gaugehost::run_scenario(host, s);                      // one module for all steps
//
// Hit-testing follows the host: only children (rect_type 2) are areas, each the half-open
// box [x, x+w) × [y, y+h); the first child in list order that holds the point wins; a point
// in no child (a knob's gap column) sends nothing. Areas are mouse-entry indices from 0,
// as `gaugehost info` numbers them.
//
// Scenario file (JSON):
//   {"steps": [
//     {"t": 0,  "set": {"557": 1000}, "click": {"gauge": "Clock", "area": 3}},
//     {"t": 30, "set": {"557": 1030}, "show": ["Clock"]},
//     {"t": 31, "click": [{"gauge": "KOHLSMAN", "at": [30, 20]}], "show": "ALTIMETER"}
//   ]}
// Each step, in order: "set" writes host variables (token → number, or "nan", "inf",
// "-inf"), "click" (one click or a list) clicks by "area" or "at": [x, y], "show" (a name
// or a list; a name twice is two instances of the gauge) updates each gauge and reports its
// elements. "t" is the step's time label in seconds; it must not go backwards. "note" is
// text printed with the step. Every step needs "t" and at least one of "set", "click" and
// "show"; any other key is an error.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "gaugehost.h"

namespace gaugehost {

// The mouse entry (index from 0) of the child that holds (x, y), or nullopt.
std::optional<int> hit_test(const GaugeModel& gauge, int32_t x, int32_t y);

struct ClickOutcome {
    std::string gauge;
    std::optional<std::array<int32_t, 2>> point;  // set for a click at a point
    std::optional<int> entry;                     // the area clicked; nullopt: the point hit none
    std::array<int32_t, 4> box{};                 // the area's box
    uint32_t event_id = 0;                        // the area's key event, or 0
    uint32_t mouse_function = 0;                  // the area's mouse function, or 0
    uint32_t result = 0;                          // what the mouse function returned
    std::vector<KeyEvent> key_events;             // sent during the click (by the area or the module)
    std::vector<ServiceCall> service_calls;       // made by the module during the click
    std::map<uint32_t, double> moved;             // tokens the key events moved, with their new values
};

// Clicks mouse entry `entry` of `gauge` (it must be a child).
ClickOutcome click_area(Host& host, const std::string& gauge, int entry);
// Hit-tests (x, y) on `gauge` and clicks the area found, if any.
ClickOutcome click_at(Host& host, const std::string& gauge, int32_t x, int32_t y);

struct ScenarioClick {
    std::string gauge;
    std::optional<int> area;
    std::optional<std::array<int32_t, 2>> at;
};

struct ScenarioStep {
    double t = 0.0;
    std::string note;
    std::vector<std::pair<uint32_t, double>> sets;
    std::vector<ScenarioClick> clicks;
    std::vector<std::string> show;
};

struct Scenario {
    std::vector<ScenarioStep> steps;
};

// Reads a scenario; any fault is an Error naming the step and key ("step 2: ...").
Scenario parse_scenario(const nlohmann::json& scenario);
Scenario load_scenario(const std::string& path);

struct ShownGauge {
    std::string gauge;
    std::vector<ElementResult> results;
};

struct StepOutcome {
    int number = 0;  // from 1
    double t = 0.0;
    std::string note;
    std::vector<ClickOutcome> clicks;
    std::vector<ShownGauge> shown;
};

// Plays every step on `host`; module state (the stopwatch) carries from step to step.
std::vector<StepOutcome> run_scenario(Host& host, const Scenario& scenario);

std::string click_text(const ClickOutcome& click);
nlohmann::json click_json(const ClickOutcome& click);
std::string scenario_text(const Host& host, const std::vector<StepOutcome>& steps);
nlohmann::json scenario_json(const Host& host, const std::vector<StepOutcome>& steps);

}  // namespace gaugehost

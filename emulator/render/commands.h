// What the drawing subcommands of gaugehost do once their command lines are read:
// `render` (one gauge to PNG) and `panel` (the labelled sheet of all gauges).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "gaugehost.h"

namespace gaugehost::render {

struct RenderRequest {
    std::string module;                            // KEL.gau
    std::string gauge;                             // its name in the module
    std::vector<std::pair<uint32_t, double>> sets; // host variables set before the update
    std::string output;                            // PNG path
    double scale = 1.0;
    HostOptions host;
};

// Loads the module, sets the variables, runs one update of the gauge and writes
// it as a PNG. Throws Error/RenderError with a one-line message on any failure.
void RenderGauge(const RenderRequest& request);

struct PanelRequest {
    std::string module;
    std::vector<std::pair<uint32_t, double>> sets;  // applied before the first update
    std::string scenario;                           // played step by step when given
    std::string output;
    HostOptions host;
};

// Loads the module, sets the variables, then plays the scenario (every gauge
// updated after each step) or, without one, updates every gauge once, and writes
// the sheet as it stands at the end.
void RenderPanel(const PanelRequest& request);

}  // namespace gaugehost::render

// Scenarios drawn: every step played on the module (variables, clicks), then one
// update of every gauge, and the sheet drawn after each step or at the end.
#pragma once

#include <functional>
#include <string>

#include "gaugehost.h"
#include "render/host_panel.h"
#include "scenario.h"

namespace gaugehost::render {

// Plays each step on `panel`'s host (its sets, then its clicks), updates every gauge
// once, then calls `after_step` with the step's number (from 1) and the step.
void PlayScenario(HostPanel& panel, const Scenario& scenario,
                  const std::function<void(int, const ScenarioStep&)>& after_step = {});

// The caption of a sheet drawn after step `number` of a scenario.
std::string StepCaption(const std::string& scenario_path, int number, const ScenarioStep& step);

// Loads the module afresh, plays the scenario and writes DIR/frame_001.png,
// frame_002.png, ... one sheet per step (DIR is created if missing). Returns the
// number of frames written; throws Error/RenderError on failure.
int WriteFrames(const std::string& module, const HostOptions& options, const std::string& scenario_path,
                const std::string& dir);

}  // namespace gaugehost::render

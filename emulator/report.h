// What the CLI prints: the loaded module and its gauges, and one update's results,
// as readable text or as JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "gaugehost.h"

namespace gaugehost {

nlohmann::json module_json(const Host& host, bool verbose);
std::string module_text(const Host& host, bool verbose);

nlohmann::json results_json(const GaugeModel& gauge, const std::vector<ElementResult>& results);
std::string results_text(const GaugeModel& gauge, const std::vector<ElementResult>& results);

}  // namespace gaugehost

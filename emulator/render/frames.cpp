#include "render/frames.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "render/error.h"
#include "render/panel.h"

namespace gaugehost::render {

void PlayScenario(HostPanel& panel, const Scenario& scenario,
                  const std::function<void(int, const ScenarioStep&)>& after_step) {
    Host& host = panel.host();
    int number = 0;
    for (const ScenarioStep& step : scenario.steps) {
        ++number;
        for (const auto& [token, value] : step.sets) host.set(token, value);
        for (const ScenarioClick& click : step.clicks) {
            if (click.area)
                click_area(host, click.gauge, *click.area);
            else if (click.at)
                click_at(host, click.gauge, (*click.at)[0], (*click.at)[1]);
        }
        panel.UpdateAll();
        if (after_step) after_step(number, step);
    }
}

std::string StepCaption(const std::string& scenario_path, int number, const ScenarioStep& step) {
    char t[32];
    std::snprintf(t, sizeof t, "%g", step.t);
    return std::filesystem::path(scenario_path).filename().string() + "  step " + std::to_string(number) +
           "  t = " + t + " s";
}

int WriteFrames(const std::string& module, const HostOptions& options, const std::string& scenario_path,
                const std::string& dir) {
    const Scenario scenario = load_scenario(scenario_path);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir))
        throw RenderError("cannot make frame directory " + dir + (ec ? ": " + ec.message() : ""));
    Host host(module, options);
    HostPanel panel(host);
    int written = 0;
    PlayScenario(panel, scenario, [&](int number, const ScenarioStep& step) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%03d.png", number);
        Surface sheet = panel.DrawSheet(StepCaption(scenario_path, number, step));
        WritePng(sheet.get(), (std::filesystem::path(dir) / name).string());
        ++written;
    });
    host.shutdown();
    return written;
}

}  // namespace gaugehost::render

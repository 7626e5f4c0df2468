#include "render/commands.h"

#include "render/error.h"
#include "render/frames.h"
#include "render/host_panel.h"
#include "render/panel.h"

namespace gaugehost::render {

void RenderGauge(const RenderRequest& request) {
    if (request.output.empty()) throw RenderError("no output file given (-o FILE.png)");
    Host host(request.module, request.host);
    for (const auto& [token, value] : request.sets) host.set(token, value);
    const GaugeModel* model = host.model().find(request.gauge);
    if (!model)
        throw RenderError("unknown gauge \"" + request.gauge + "\"; the module has: " + host.model().gauge_names());
    SurfaceCache cache(ResourceLoader(host.module()));
    GaugeRenderer gauge(LayoutFromModel(*model), cache);
    gauge.Update(ResultsFromUpdate(host.update(model->name)));
    Surface picture = DrawGauge(gauge, request.scale);
    WritePng(picture.get(), request.output);
    host.shutdown();
}

void RenderPanel(const PanelRequest& request) {
    if (request.output.empty()) throw RenderError("no output file given (-o FILE.png)");
    Host host(request.module, request.host);
    for (const auto& [token, value] : request.sets) host.set(token, value);
    HostPanel panel(host);
    std::string caption;
    if (request.scenario.empty()) {
        panel.UpdateAll();
    } else {
        PlayScenario(panel, load_scenario(request.scenario), [&](int number, const ScenarioStep& step) {
            caption = StepCaption(request.scenario, number, step);
        });
    }
    Surface sheet = panel.DrawSheet(caption);
    WritePng(sheet.get(), request.output);
    host.shutdown();
}

}  // namespace gaugehost::render

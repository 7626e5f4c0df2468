// The renderer driven by gaugehost: each gauge's layout read from the module's
// records, its bitmaps from the module's resources, and its results from one
// update of the emulated module.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gaugehost.h"
#include "render/panel.h"
#include "render/renderer.h"

namespace gaugehost::render {

// A gauge's chain as the model read it from the records, root first.
GaugeLayout LayoutFromModel(const GaugeModel& gauge);

// One update's results in the renderer's terms.
std::vector<ElementResult> ResultsFromUpdate(const std::vector<::gaugehost::ElementResult>& results);

// Loads bitmap resources (type 2) of the loaded module by number; throws
// RenderError naming the number when there is none or it does not decode.
BitmapLoader ResourceLoader(const LoadedModule& module);

// Every gauge of the module with its renderer, updated through the host.
class HostPanel {
public:
    // Builds a renderer for each gauge of `host`'s model; `host` must outlive it.
    explicit HostPanel(Host& host);

    // One update of one gauge (its callbacks run in the emulator), then its
    // needles move within their limits. Throws Error/RenderError on failure.
    void Update(const std::string& gauge);
    // One update of every gauge, in gauge-table order.
    void UpdateAll();

    // A gauge's renderer; throws RenderError listing the gauges for an unknown name.
    const GaugeRenderer& gauge(const std::string& name) const;
    std::vector<const GaugeRenderer*> gauges() const;
    Host& host() { return host_; }

    // The whole sheet as of the last updates.
    Surface DrawSheet(const std::string& caption = "") const;
    // The same onto a canvas of sheet_size() (the sheet covers it entirely).
    void DrawSheetOn(cairo_t* cr, const std::string& caption = "") const;
    std::pair<int, int> sheet_size() const { return {layout_.width, layout_.height}; }
    // Only the named gauges, side by side on one sheet in the given order.
    Surface DrawSelection(const std::vector<std::string>& names, const std::string& caption = "") const;

private:
    Host& host_;
    SurfaceCache cache_;
    std::vector<std::string> order_;
    std::map<std::string, std::unique_ptr<GaugeRenderer>> renderers_;
    PanelLayout layout_;
};

}  // namespace gaugehost::render

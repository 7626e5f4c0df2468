#include "render/host_panel.h"

#include <algorithm>
#include <cstdio>

#include "dib.h"
#include "render/error.h"

namespace gaugehost::render {
namespace {

constexpr uint32_t kBitmapResourceType = 2;

std::string HexId(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}

render::ElementKind KindOf(::gaugehost::ElementKind kind) {
    switch (kind) {
        case ::gaugehost::ElementKind::Static: return render::ElementKind::kStaticImage;
        case ::gaugehost::ElementKind::Needle: return render::ElementKind::kNeedle;
        case ::gaugehost::ElementKind::String: return render::ElementKind::kString;
        case ::gaugehost::ElementKind::Icon: return render::ElementKind::kIcon;
        case ::gaugehost::ElementKind::MovingImage: return render::ElementKind::kMovingImage;
        case ::gaugehost::ElementKind::Sprite: return render::ElementKind::kSprite;
    }
    throw RenderError("element_type " + std::to_string(uint32_t(kind)) + " is not one gaugehost draws");
}

}  // namespace

GaugeLayout LayoutFromModel(const GaugeModel& gauge) {
    GaugeLayout out;
    out.name = gauge.name;
    // The model lists elements depth first, each after its parent: that is the order
    // of drawing, every child over its parent and over all drawn before it.
    for (const ElementModel& m : gauge.elements) {
        ElementLayout e;
        e.kind = KindOf(m.kind);
        e.resource_id = m.resource_id;
        e.position_x = m.position[0];
        e.position_y = m.position[1];
        e.offset_x = m.offset[0];
        e.offset_y = m.offset[1];
        e.draw_flags = m.draw_flags;
        for (const NonlinearityPointModel& p : m.points) e.table.push_back({p.x, p.y, p.value});
        e.max_degrees_per_tick = m.max_degrees_per_tick;
        e.box_width = m.box_size[0];
        e.box_height = m.box_size[1];
        e.fore_color = m.fore_color;
        e.back_color = m.back_color;
        e.font_name = m.font_name;
        e.font_weight = m.font_weight;
        e.text_format = m.text_format;
        e.max_chars = m.max_chars;
        e.image_count = m.image_count;
        e.x_min = m.x_min;
        e.x_max = m.x_max;
        e.y_min = m.y_min;
        e.y_max = m.y_max;
        e.texture_scale_x = m.texture_scale_x;
        e.texture_scale_y = m.texture_scale_y;
        out.chain.push_back(std::move(e));
    }
    return out;
}

std::vector<ElementResult> ResultsFromUpdate(const std::vector<::gaugehost::ElementResult>& results) {
    std::vector<ElementResult> out(results.size());
    for (size_t i = 0; i < results.size(); ++i) {
        const ::gaugehost::ElementResult& r = results[i];
        ElementResult& o = out[i];
        switch (r.kind) {
            case ::gaugehost::ElementKind::MovingImage:
            case ::gaugehost::ElementKind::Sprite:
                o.value = r.x;
                o.value_y = r.y;
                o.value_rotation = r.rotation;
                break;
            default:
                o.value = r.value;
                break;
        }
        o.text = r.text;
    }
    return out;
}

BitmapLoader ResourceLoader(const LoadedModule& module) {
    return [&module](uint32_t id) -> IndexedBitmap {
        const Resource* resource = module.pe().find_resource(kBitmapResourceType, id);
        if (!resource)
            throw RenderError(module.path() + " has no bitmap resource " + HexId(id));
        try {
            Dib dib = decode_dib(module.pe().resource_bytes(*resource));
            return IndexedBitmap{dib.width, dib.height, std::move(dib.palette), std::move(dib.indices)};
        } catch (const std::exception& e) {
            throw RenderError("bitmap resource " + HexId(id) + " of " + module.path() + ": " + e.what());
        }
    };
}

HostPanel::HostPanel(Host& host)
    : host_(host), cache_(ResourceLoader(host.module())), layout_(DefaultPanelLayout()) {
    for (const GaugeModel& g : host_.model().gauges) {
        order_.push_back(g.name);
        renderers_[g.name] = std::make_unique<GaugeRenderer>(LayoutFromModel(g), cache_);
    }
}

void HostPanel::Update(const std::string& name) {
    auto it = renderers_.find(name);
    if (it == renderers_.end()) gauge(name);  // throws, listing the gauges
    it->second->Update(ResultsFromUpdate(host_.update(name)));
}

void HostPanel::UpdateAll() {
    for (const std::string& name : order_) renderers_.at(name)->Update(ResultsFromUpdate(host_.update(name)));
}

const GaugeRenderer& HostPanel::gauge(const std::string& name) const {
    auto it = renderers_.find(name);
    if (it == renderers_.end()) {
        std::string known;
        for (const std::string& n : order_) known += (known.empty() ? "" : ", ") + n;
        throw RenderError("no gauge named \"" + name + "\" (the module has " + known + ")");
    }
    return *it->second;
}

std::vector<const GaugeRenderer*> HostPanel::gauges() const {
    std::vector<const GaugeRenderer*> out;
    for (const std::string& n : order_) out.push_back(renderers_.at(n).get());
    return out;
}

void HostPanel::DrawSheetOn(cairo_t* cr, const std::string& caption) const {
    DrawPanel(cr, layout_, gauges(), caption);
}

Surface HostPanel::DrawSheet(const std::string& caption) const {
    Surface canvas = MakeCanvas(layout_.width, layout_.height);
    cairo_t* cr = cairo_create(canvas.get());
    DrawSheetOn(cr, caption);
    cairo_destroy(cr);
    cairo_surface_flush(canvas.get());
    return canvas;
}

Surface HostPanel::DrawSelection(const std::vector<std::string>& names, const std::string& caption) const {
    PanelLayout sheet = SelectionLayout(names, [this](const std::string& n) {
        const GaugeRenderer& g = gauge(n);
        return std::make_pair(g.width(), g.height());
    });
    Surface canvas = MakeCanvas(sheet.width, sheet.height);
    cairo_t* cr = cairo_create(canvas.get());
    DrawPanel(cr, sheet, gauges(), caption);
    cairo_destroy(cr);
    cairo_surface_flush(canvas.get());
    return canvas;
}

}  // namespace gaugehost::render

#include "model.h"

#include <set>

namespace gaugehost {

using namespace layout;

namespace {

// Bounds that keep a corrupt record from sending the walker on forever.
constexpr int kMaxElementsPerGauge = 256;
constexpr int kMaxChildren = 64;
constexpr int kMaxMouseRects = 256;
constexpr uint32_t kMaxTablePoints = 1024;
constexpr size_t kMaxGaugeName = 64;

// Reads memory for one gauge, wrapping every failure with the gauge and the record.
struct Reader {
    const Machine& m;
    std::string context;  // "gauge AIRSPEED"

    [[noreturn]] void fail(const std::string& what) const { throw Error(context + ": " + what); }
    template <class F>
    auto guarded(const std::string& what, uint32_t address, F f) const {
        try {
            return f();
        } catch (const Error& e) {
            fail(what + " at " + hex(address) + ": " + e.what());
        }
    }
    uint32_t u32(uint32_t a, const std::string& what) const { return guarded(what, a, [&] { return m.read_u32(a); }); }
    int32_t s32(uint32_t a, const std::string& what) const { return int32_t(u32(a, what)); }
    double f64(uint32_t a, const std::string& what) const { return guarded(what, a, [&] { return m.read_f64(a); }); }
    float f32(uint32_t a, const std::string& what) const { return guarded(what, a, [&] { return m.read_f32(a); }); }
    std::string str(uint32_t a, size_t max, const std::string& what) const {
        return guarded(what, a, [&] { return m.read_cstr(a, max); });
    }
    // A null-terminated pointer list (child list, element list).
    std::vector<uint32_t> pointer_list(uint32_t a, const std::string& what) const {
        std::vector<uint32_t> out;
        for (int i = 0;; ++i) {
            if (i > kMaxChildren) fail(what + " at " + hex(a) + " has no null terminator within " + std::to_string(kMaxChildren) + " entries");
            uint32_t p = u32(a + 4u * uint32_t(i), what);
            if (p == 0) return out;
            out.push_back(p);
        }
    }
};

ModuleVarModel module_var(const Reader& r, uint32_t element, uint32_t offset, const char* field) {
    return {field, element + offset, r.u32(element + offset, field)};
}

void read_kind_fields(const Reader& r, ElementModel& e) {
    uint32_t a = e.address;
    switch (e.kind) {
    case ElementKind::Static:
        break;
    case ElementKind::Needle:
        e.vars.push_back(module_var(r, a, kNeedleVar, "source_var"));
        e.nonlinearity_table = r.u32(a + kNeedleTable, "nonlinearity_table");
        e.nonlinearity_count = r.u32(a + kNeedleCount, "nonlinearity_count");
        e.max_degrees_per_tick = r.s32(a + kNeedleMaxDeg, "max_degrees_per_tick");
        e.value_callback = r.u32(a + kNeedleCallback, "value_callback");
        if ((e.nonlinearity_table == 0) != (e.nonlinearity_count == 0))
            r.fail("needle at " + hex(a) + ": nonlinearity_table " + hex(e.nonlinearity_table) +
                   " does not match nonlinearity_count " + std::to_string(e.nonlinearity_count));
        if (e.nonlinearity_count > kMaxTablePoints)
            r.fail("needle at " + hex(a) + ": nonlinearity_count " + std::to_string(e.nonlinearity_count) + " is implausible");
        for (uint32_t i = 0; i < e.nonlinearity_count; ++i) {
            uint32_t p = e.nonlinearity_table + i * kPointSize;
            e.points.push_back({r.s32(p, "nonlinearity point"), r.s32(p + 4, "nonlinearity point"),
                                r.f64(p + 8, "nonlinearity point")});
        }
        break;
    case ElementKind::String:
        for (int i = 0; i < 3; ++i)
            e.vars.push_back(module_var(r, a, kStringVars[i], i == 0 ? "source_vars[0]" : i == 1 ? "source_vars[1]" : "source_vars[2]"));
        e.box_size = {r.s32(a + kStringBox, "box_size"), r.s32(a + kStringBox + 4, "box_size")};
        e.fore_color = r.u32(a + kStringFore, "fore_color");
        e.back_color = r.u32(a + kStringBack, "back_color");
        e.highlight_color = r.u32(a + kStringHighlight, "highlight_color");
        e.font_name = r.str(a + kStringFont, 31, "font_name");
        e.font_weight = r.s32(a + kStringWeight, "font_weight");
        e.font_charset = r.u32(a + kStringCharset, "font_charset");
        e.text_format = r.u32(a + kStringFormat, "text_format");
        e.max_chars = r.u32(a + kStringMaxChars, "max_chars");
        e.value_callback = r.u32(a + kStringCallback, "value_callback");
        if (e.max_chars > 4096) r.fail("string at " + hex(a) + ": max_chars " + std::to_string(e.max_chars) + " is implausible");
        break;
    case ElementKind::Icon:
        e.vars.push_back(module_var(r, a, kIconVar, "source_var"));
        e.image_count = r.u32(a + kIconCount, "image_count");
        e.value_callback = r.u32(a + kIconCallback, "value_callback");
        break;
    case ElementKind::MovingImage:
        e.vars.push_back(module_var(r, a, kMovingXVar, "x_var"));
        e.vars.push_back(module_var(r, a, kMovingYVar, "y_var"));
        e.x_min = r.f64(a + kMovingXMin, "x_min");
        e.x_max = r.f64(a + kMovingXMax, "x_max");
        e.y_min = r.f64(a + kMovingYMin, "y_min");
        e.y_max = r.f64(a + kMovingYMax, "y_max");
        e.x_callback = r.u32(a + kMovingXCallback, "x_callback");
        e.y_callback = r.u32(a + kMovingYCallback, "y_callback");
        break;
    case ElementKind::Sprite:
        e.vars.push_back(module_var(r, a, kSpriteXVar, "x_var"));
        e.vars.push_back(module_var(r, a, kSpriteYVar, "y_var"));
        e.vars.push_back(module_var(r, a, kSpriteRotVar, "rotation_var"));
        e.x_scale = r.f64(a + kSpriteXScale, "x_scale");
        e.y_scale = r.f64(a + kSpriteYScale, "y_scale");
        e.rotation_scale = r.f64(a + kSpriteRotScale, "rotation_scale");
        e.texture_scale_x = r.f32(a + kSpriteTexX, "texture_scale_x");
        e.texture_scale_y = r.f32(a + kSpriteTexY, "texture_scale_y");
        break;
    }
}

bool known_kind(uint32_t t) { return t <= 6 && t != 3; }

void walk_elements(const Reader& r, GaugeModel& g, uint32_t address, int parent, int depth, std::set<uint32_t>& seen) {
    if (!seen.insert(address).second) r.fail("element at " + hex(address) + " is reached twice (a loop in the element tree)");
    if (int(g.elements.size()) >= kMaxElementsPerGauge) r.fail("more than " + std::to_string(kMaxElementsPerGauge) + " elements");
    ElementModel e;
    e.address = address;
    e.parent = parent;
    e.depth = depth;
    uint32_t type = r.u32(address + kElemType, "element_type");
    if (!known_kind(type)) r.fail("element at " + hex(address) + " has unknown element_type " + std::to_string(type));
    e.kind = ElementKind(type);
    e.resource_id = r.u32(address + kElemResource, "resource_id");
    e.position = {r.s32(address + kElemPosition, "position"), r.s32(address + kElemPosition + 4, "position")};
    e.offset = {r.s32(address + kElemOffset, "offset"), r.s32(address + kElemOffset + 4, "offset")};
    e.gauge_header = r.u32(address + kElemGauge, "gauge_header");
    e.next_elements = r.u32(address + kElemNext, "next_elements");
    e.draw_flags = r.u32(address + kElemDrawFlags, "draw_flags");
    read_kind_fields(r, e);
    int index = int(g.elements.size());
    g.elements.push_back(e);
    if (e.next_elements)
        for (uint32_t child : r.pointer_list(e.next_elements, "child list"))
            walk_elements(r, g, child, index, depth + 1, seen);
}

// Reads the mouse list and checks it against the grammar: groups opened by parents,
// closed by end-of-parent, children inside a group, one end-of-list with all groups closed.
void read_mouse(const Reader& r, GaugeModel& g) {
    if (g.mouse_rects == 0) return;
    int open = 0;
    for (int i = 0;; ++i) {
        if (i >= kMaxMouseRects) r.fail("mouse rect list at " + hex(g.mouse_rects) + " has no end of list within " + std::to_string(kMaxMouseRects) + " entries");
        uint32_t a = g.mouse_rects + uint32_t(i) * kMouseRectSize;
        MouseRectModel m;
        m.address = a;
        m.rect_type = r.u32(a, "mouse rect_type");
        for (int k = 0; k < 4; ++k) m.box[k] = r.s32(a + 4 + 4u * k, "mouse box");
        m.cursor = r.s32(a + 0x14, "mouse cursor");
        m.help_id = r.u32(a + 0x18, "mouse help_id");
        m.mouse_flags = r.u32(a + 0x1C, "mouse_flags");
        m.event_id = r.u32(a + 0x20, "mouse event_id");
        m.mouse_function = r.u32(a + 0x24, "mouse_function");
        std::string where = "mouse rect entry " + std::to_string(i + 1) + " at " + hex(a);
        switch (m.rect_type) {
        case 0:
            if (open) r.fail(where + ": end of list with " + std::to_string(open) + " group(s) still open");
            m.depth = 0;
            g.mouse.push_back(m);
            return;
        case 1:
            m.depth = open++;
            break;
        case 2:
            if (!open) r.fail(where + ": child outside any parent group");
            if ((m.event_id != 0) == (m.mouse_function != 0))
                r.fail(where + ": child must carry either an event_id or a mouse_function");
            m.depth = open;
            break;
        case 3:
            if (!open) r.fail(where + ": end of parent with no group open");
            m.depth = --open;
            break;
        default:
            r.fail(where + ": unknown rect_type " + std::to_string(m.rect_type));
        }
        g.mouse.push_back(m);
    }
}

}  // namespace

const char* kind_name(ElementKind kind) {
    switch (kind) {
    case ElementKind::Static: return "static";
    case ElementKind::Needle: return "needle";
    case ElementKind::String: return "string";
    case ElementKind::Icon: return "icon";
    case ElementKind::MovingImage: return "moving_image";
    case ElementKind::Sprite: return "sprite";
    }
    return "?";
}

const GaugeModel* ModuleModel::find(const std::string& name) const {
    for (const GaugeModel& g : gauges)
        if (g.name == name) return &g;
    return nullptr;
}

std::string ModuleModel::gauge_names() const {
    std::string out;
    for (const GaugeModel& g : gauges) out += (out.empty() ? "" : ", ") + g.name;
    return out;
}

ModuleModel read_model(const Machine& m, uint32_t linkage, uint32_t import_table) {
    ModuleModel model;
    model.linkage = linkage;
    model.import_table = import_table;
    Reader top{m, "Linkage"};
    model.module_id = top.u32(linkage, "module_id");
    model.module_init = top.u32(linkage + kLinkageInit, "module_init");
    model.module_deinit = top.u32(linkage + kLinkageDeinit, "module_deinit");
    model.module_version = top.u32(linkage + 0x14, "module_version");
    model.services_id = Reader{m, "ImportTable"}.u32(import_table, "services_id");
    for (uint32_t slot = 0;; ++slot) {
        if (slot > kGaugeSlots * 4) top.fail("gauge table has no null terminator");
        uint32_t header = top.u32(linkage + kLinkageGaugeTable + slot * 4, "gauge table slot " + std::to_string(slot + 1));
        if (header == 0) break;
        GaugeModel g;
        g.slot = int(slot + 1);
        g.header = header;
        Reader hr{m, "gauge slot " + std::to_string(slot + 1)};
        g.header_version = hr.u32(header, "header_version");
        g.name = hr.str(hr.u32(header + kHeaderName, "gauge_name"), kMaxGaugeName, "gauge_name");
        Reader r{m, "gauge " + g.name};
        g.element_list = r.u32(header + kHeaderElements, "element_list");
        for (int i = 0; i < 7; ++i) g.routines[i] = r.u32(header + kHeaderRoutines + 4u * i, "routine slot");
        g.size_x_mm = r.u32(header + kHeaderSizeMm, "size_x_mm");
        g.mouse_rects = r.u32(header + kHeaderMouse, "mouse_rects");
        std::set<uint32_t> seen;
        if (g.element_list)
            for (uint32_t root : r.pointer_list(g.element_list, "element_list")) walk_elements(r, g, root, -1, 0, seen);
        read_mouse(r, g);
        model.gauges.push_back(std::move(g));
    }
    return model;
}

}  // namespace gaugehost

#include "report.h"

#include <cstdio>
#include <sstream>

namespace gaugehost {

using nlohmann::json;

namespace {

std::string num(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::string perms_of(const Section& s) {
    std::string p = "r";
    p += s.writable() ? "w" : "-";
    p += s.executable() ? "x" : "-";
    return p;
}

json element_json(const ElementModel& e, int index) {
    json j = {{"index", index},
              {"address", hex(e.address)},
              {"kind", kind_name(e.kind)},
              {"parent", e.parent},
              {"resource_id", hex(e.resource_id)},
              {"position", e.position},
              {"offset", e.offset},
              {"gauge_header", hex(e.gauge_header)},
              {"draw_flags", e.draw_flags}};
    json vars = json::array();
    for (const ModuleVarModel& v : e.vars) vars.push_back({{"field", v.field}, {"token", v.token}, {"address", hex(v.address)}});
    j["vars"] = vars;
    switch (e.kind) {
    case ElementKind::Static:
        break;
    case ElementKind::Needle: {
        json points = json::array();
        for (const auto& p : e.points) points.push_back({{"x", p.x}, {"y", p.y}, {"value", p.value}});
        j["nonlinearity_table"] = hex(e.nonlinearity_table);
        j["nonlinearity_count"] = e.nonlinearity_count;
        j["points"] = points;
        j["max_degrees_per_tick"] = e.max_degrees_per_tick;
        j["value_callback"] = hex(e.value_callback);
        break;
    }
    case ElementKind::String:
        j["box_size"] = e.box_size;
        j["fore_color"] = hex(e.fore_color);
        j["back_color"] = hex(e.back_color);
        j["highlight_color"] = hex(e.highlight_color);
        j["font_name"] = e.font_name;
        j["font_weight"] = e.font_weight;
        j["font_charset"] = e.font_charset;
        j["text_format"] = hex(e.text_format);
        j["max_chars"] = e.max_chars;
        j["value_callback"] = hex(e.value_callback);
        break;
    case ElementKind::Icon:
        j["image_count"] = e.image_count;
        j["value_callback"] = hex(e.value_callback);
        break;
    case ElementKind::MovingImage:
        j["x_min"] = e.x_min;
        j["x_max"] = e.x_max;
        j["y_min"] = e.y_min;
        j["y_max"] = e.y_max;
        j["x_callback"] = hex(e.x_callback);
        j["y_callback"] = hex(e.y_callback);
        break;
    case ElementKind::Sprite:
        j["x_scale"] = e.x_scale;
        j["y_scale"] = e.y_scale;
        j["rotation_scale"] = e.rotation_scale;
        j["texture_scale"] = {e.texture_scale_x, e.texture_scale_y};
        break;
    }
    return j;
}

json mouse_json(const MouseRectModel& m, int index) {
    return {{"index", index},       {"address", hex(m.address)}, {"rect_type", m.rect_type},
            {"box", m.box},         {"cursor", m.cursor},        {"help_id", hex(m.help_id)},
            {"mouse_flags", hex(m.mouse_flags)}, {"event_id", hex(m.event_id)},
            {"mouse_function", hex(m.mouse_function)}};
}

std::string element_line(const ElementModel& e, int index) {
    std::ostringstream o;
    o << std::string(size_t(2 + 2 * e.depth), ' ') << "[" << index << "] " << kind_name(e.kind) << " at "
      << hex(e.address) << " res " << hex(e.resource_id) << " pos (" << e.position[0] << ", " << e.position[1]
      << ") off (" << e.offset[0] << ", " << e.offset[1] << ") flags " << e.draw_flags;
    for (const ModuleVarModel& v : e.vars) o << " " << v.field << "=" << v.token;
    switch (e.kind) {
    case ElementKind::Static: break;
    case ElementKind::Needle:
        o << " table " << e.nonlinearity_count << " pts, max_deg/tick " << e.max_degrees_per_tick << ", callback "
          << hex(e.value_callback);
        break;
    case ElementKind::String:
        o << " box " << e.box_size[0] << "x" << e.box_size[1] << " font \"" << e.font_name << "\" " << e.font_weight
          << " fg " << hex(e.fore_color) << " bg " << hex(e.back_color) << " hl " << hex(e.highlight_color)
          << " charset " << e.font_charset << " format " << hex(e.text_format) << " max_chars " << e.max_chars
          << " callback " << hex(e.value_callback);
        break;
    case ElementKind::Icon:
        o << " images " << e.image_count << " callback " << hex(e.value_callback);
        break;
    case ElementKind::MovingImage:
        o << " x " << num(e.x_min) << ".." << num(e.x_max) << " cb " << hex(e.x_callback) << ", y " << num(e.y_min)
          << ".." << num(e.y_max) << " cb " << hex(e.y_callback);
        break;
    case ElementKind::Sprite:
        o << " scales x " << num(e.x_scale) << " y " << num(e.y_scale) << " rot " << num(e.rotation_scale)
          << " texture " << e.texture_scale_x << "x" << e.texture_scale_y;
        break;
    }
    return o.str();
}

}  // namespace

json module_json(const Host& host, bool verbose) {
    const LoadedModule& mod = host.module();
    const PeImage& pe = mod.pe();
    json j;
    j["file"] = mod.path();
    j["preferred_base"] = hex(pe.preferred_base);
    j["base"] = hex(mod.base());
    j["entry"] = hex(mod.entry_point());
    j["size_of_image"] = hex(pe.size_of_image);
    j["export_dll_name"] = pe.export_dll_name;
    json exports = json::array();
    for (const Export& e : pe.exports)
        exports.push_back({{"name", e.name}, {"ordinal", e.ordinal}, {"address", hex(mod.base() + e.rva)}});
    j["exports"] = exports;
    json imports = json::array();
    for (const auto& [imp, trap] : mod.bindings()) imports.push_back({{"name", imp.full_name()}, {"bound_to", hex(trap)}});
    j["imports"] = imports;
    json sections = json::array();
    for (const Section& s : pe.sections)
        sections.push_back({{"name", s.name}, {"address", hex(mod.base() + s.rva)}, {"virtual_size", s.virtual_size},
                            {"raw_size", s.raw_size}, {"access", perms_of(s)}});
    j["sections"] = sections;
    j["resources"] = pe.resources.size();
    if (verbose) {
        json list = json::array();
        for (const Resource& r : pe.resources)
            list.push_back({{"type", r.type}, {"id", hex(r.id)}, {"language", r.language}, {"size", r.size}});
        j["resource_list"] = list;
    }
    if (auto v = pe.version()) {
        json strings = json::object();
        for (const auto& [k, val] : v->strings) strings[k] = val;
        j["version"] = {{"file_version", VersionInfo::dotted(v->file_version_ms, v->file_version_ls)},
                        {"product_version", VersionInfo::dotted(v->product_version_ms, v->product_version_ls)},
                        {"file_type", v->file_type},
                        {"string_table", v->string_table},
                        {"strings", strings}};
    }
    const ModuleModel& m = host.model();
    j["linkage"] = {{"address", hex(m.linkage)},         {"module_id", hex(m.module_id)},
                    {"module_init", hex(m.module_init)}, {"module_deinit", hex(m.module_deinit)},
                    {"module_version", hex(m.module_version)}};
    j["import_table"] = {{"address", hex(m.import_table)}, {"services_id", hex(m.services_id)},
                         {"services", hex(host.services_table())}};
    json gauges = json::array();
    for (const GaugeModel& g : m.gauges) {
        json gj = {{"slot", g.slot},
                   {"name", g.name},
                   {"header", hex(g.header)},
                   {"header_version", g.header_version},
                   {"size_x_mm", g.size_x_mm},
                   {"element_list", hex(g.element_list)},
                   {"mouse_rects", hex(g.mouse_rects)}};
        json routines = json::array();
        for (uint32_t r : g.routines) routines.push_back(hex(r));
        gj["routines"] = routines;
        json elements = json::array();
        for (size_t i = 0; i < g.elements.size(); ++i) elements.push_back(element_json(g.elements[i], int(i)));
        gj["elements"] = elements;
        json mouse = json::array();
        for (size_t i = 0; i < g.mouse.size(); ++i) mouse.push_back(mouse_json(g.mouse[i], int(i)));
        gj["mouse"] = mouse;
        gauges.push_back(gj);
    }
    j["gauges"] = gauges;
    if (verbose) {
        json map = json::array();
        for (const Region& r : mod.machine().regions())
            map.push_back({{"base", hex(r.base)}, {"size", hex(r.size)}, {"perms", r.perms}, {"label", r.label}});
        j["memory_map"] = map;
    }
    return j;
}

std::string module_text(const Host& host, bool verbose) {
    const LoadedModule& mod = host.module();
    const PeImage& pe = mod.pe();
    std::ostringstream o;
    o << "module " << mod.path() << " (export name \"" << pe.export_dll_name << "\")\n";
    o << "base " << hex(mod.base()) << " (preferred " << hex(pe.preferred_base) << "), entry " << hex(mod.entry_point())
      << ", image " << hex(pe.size_of_image) << " bytes\n";
    o << "sections:\n";
    for (const Section& s : pe.sections)
        o << "  " << s.name << " at " << hex(mod.base() + s.rva) << " " << s.virtual_size << " bytes " << perms_of(s) << "\n";
    o << "exports:\n";
    for (const Export& e : pe.exports)
        o << "  @" << e.ordinal << " " << (e.name.empty() ? "(no name)" : e.name) << " at " << hex(mod.base() + e.rva) << "\n";
    o << "imports:\n";
    for (const auto& [imp, trap] : mod.bindings()) o << "  " << imp.full_name() << " -> host trap " << hex(trap) << "\n";
    o << "resources: " << pe.resources.size() << "\n";
    if (verbose)
        for (const Resource& r : pe.resources)
            o << "  type " << r.type << " id " << hex(r.id) << " language " << r.language << " " << r.size
              << " bytes at " << hex(mod.base() + r.data_rva) << "\n";
    if (auto v = pe.version()) {
        o << "version: file " << VersionInfo::dotted(v->file_version_ms, v->file_version_ls) << ", product "
          << VersionInfo::dotted(v->product_version_ms, v->product_version_ls) << ", table " << v->string_table << "\n";
        for (const auto& [k, val] : v->strings) o << "  " << k << ": \"" << val << "\"\n";
    }
    const ModuleModel& m = host.model();
    o << "Linkage at " << hex(m.linkage) << ": module_id " << hex(m.module_id) << ", version " << hex(m.module_version)
      << ", init " << hex(m.module_init) << ", deinit " << hex(m.module_deinit) << "\n";
    o << "ImportTable at " << hex(m.import_table) << ": services_id " << hex(m.services_id) << ", services "
      << hex(host.services_table()) << "\n";
    o << "gauges: " << m.gauges.size() << "\n";
    for (const GaugeModel& g : m.gauges) {
        o << " " << g.slot << " \"" << g.name << "\" header " << hex(g.header) << " version " << g.header_version
          << " size_x_mm " << g.size_x_mm << "\n";
        for (size_t i = 0; i < g.elements.size(); ++i) o << element_line(g.elements[i], int(i)) << "\n";
        o << "  mouse list at " << hex(g.mouse_rects) << ":\n";
        for (size_t i = 0; i < g.mouse.size(); ++i) {
            const MouseRectModel& r = g.mouse[i];
            static const char* types[] = {"end of list", "parent", "child", "end of parent"};
            o << std::string(size_t(4 + 2 * r.depth), ' ') << "(" << i << ") " << types[r.rect_type & 3] << " box ("
              << r.box[0] << ", " << r.box[1] << ", " << r.box[2] << ", " << r.box[3] << ") cursor " << r.cursor
              << " help " << hex(r.help_id) << " flags " << hex(r.mouse_flags) << " event " << hex(r.event_id)
              << " function " << hex(r.mouse_function) << "\n";
        }
    }
    if (verbose) o << "memory map:\n" << mod.machine().describe_map();
    return o.str();
}

json results_json(const GaugeModel& gauge, const std::vector<ElementResult>& results) {
    json out = json::array();
    for (const ElementResult& r : results) {
        json j = {{"index", r.index}, {"address", hex(r.address)}, {"kind", kind_name(r.kind)}};
        switch (r.kind) {
        case ElementKind::Static: break;
        case ElementKind::Needle:
        case ElementKind::Icon: j["value"] = r.value; break;
        case ElementKind::String: j["value"] = r.value; j["text"] = r.text; break;
        case ElementKind::MovingImage: j["x"] = r.x; j["y"] = r.y; break;
        case ElementKind::Sprite: j["x"] = r.x; j["y"] = r.y; j["rotation"] = r.rotation; break;
        }
        j["instructions"] = r.instructions;
        out.push_back(j);
    }
    return {{"gauge", gauge.name}, {"elements", out}};
}

std::string results_text(const GaugeModel& gauge, const std::vector<ElementResult>& results) {
    std::ostringstream o;
    o << gauge.name << ":\n";
    for (const ElementResult& r : results) {
        o << "  [" << r.index << "] " << kind_name(r.kind) << " at " << hex(r.address);
        switch (r.kind) {
        case ElementKind::Static: break;
        case ElementKind::Needle: o << " value " << num(r.value); break;
        case ElementKind::Icon: o << " image " << num(r.value); break;
        case ElementKind::String: o << " text \"" << r.text << "\" value " << num(r.value); break;
        case ElementKind::MovingImage: o << " x " << num(r.x) << " y " << num(r.y); break;
        case ElementKind::Sprite: o << " x " << num(r.x) << " y " << num(r.y) << " rotation " << num(r.rotation); break;
        }
        if (r.instructions) o << " (" << r.instructions << " instructions)";
        o << "\n";
    }
    return o.str();
}

}  // namespace gaugehost

#include "gaugehost.h"

#include <cmath>

namespace gaugehost {

using namespace layout;

namespace {

// Bytes after each string element's buffer that the module must leave alone.
constexpr uint32_t kGuardBytes = 16;
constexpr uint8_t kGuardFill = 0xA5;

// How many 32-bit arguments each service entry the module may call takes.
struct ServiceEntry {
    uint32_t entry;
    const char* name;
    int args;
};
constexpr ServiceEntry kServices[] = {
    {service::kQueryElementList, "QueryElementList", 1},     {service::kInstallElementList, "InstallElementList", 2},
    {service::kInitializeElementList, "InitializeElementList", 1}, {service::kUpdateElementList, "UpdateElementList", 1},
    {service::kGenerateElementList, "GenerateElementList", 2}, {service::kDrawElementList, "DrawElementList", 1},
    {service::kKillElementList, "KillElementList", 1},       {service::kTriggerKeyEvent, "TriggerKeyEvent", 2},
    {service::kLookupVar, "LookupVar", 1},
};

// Routine slots 1..7 of a gauge header and whether each takes the host's word.
constexpr const char* kRoutineNames[7] = {"GaugeQuery", "GaugeInstall", "GaugeInitialize", "GaugeUpdate",
                                          "GaugeGenerate", "GaugeDraw", "GaugeKill"};
constexpr bool kRoutineTakesWord[7] = {false, true, false, false, true, false, false};

double wrap_degrees(double v) {
    v = std::fmod(v, 360.0);
    return v < 0 ? v + 360.0 : v;
}

}  // namespace

Host::Host(const std::string& path, const HostOptions& options)
    : module_(path, LoadOptions{options.base, options.budget}), service_result_(options.service_result) {
    uint32_t linkage = module_.export_address("Linkage");
    uint32_t import_table = module_.export_address("ImportTable");
    install_services();
    module_.call_entry(EntryReason::ProcessAttach);
    // Bind: find the request for table 0x0F and give it our service table.
    bool bound = false;
    for (uint32_t entry = import_table;; entry += 8) {
        uint32_t id = machine().read_u32(entry);
        uint32_t ptr = machine().read_u32(entry + kImportServices);
        if (id == 0 && ptr == 0) break;
        if (entry - import_table > 64 * 8) throw Error(path + ": ImportTable at " + hex(import_table) + " has no end entry");
        if (id == kServicesId) {
            machine().write_u32(entry + kImportServices, services_);
            bound = true;
        }
    }
    if (!bound) throw Error(path + ": ImportTable at " + hex(import_table) + " asks for no table 0x0F");
    model_ = read_model(machine(), linkage, import_table);
    if (model_.module_init)
        machine().call(model_.module_init, {}, Convention::Stdcall, Returns::Nothing, "ModuleInit");
}

Host::~Host() {
    try {
        shutdown();
    } catch (const std::exception&) {
        // A destructor cannot report; shutdown() is there for callers that want to know.
    }
}

void Host::shutdown() {
    if (shut_down_) return;
    shut_down_ = true;
    if (model_.module_deinit)
        machine().call(model_.module_deinit, {}, Convention::Stdcall, Returns::Nothing, "ModuleDeinit");
    module_.call_entry(EntryReason::ProcessDetach);
}

void Host::install_services() {
    services_ = machine().alloc(service::kTableEntries * 4, "host service table");
    for (uint32_t n = 0; n < service::kTableEntries; ++n) {
        const ServiceEntry* svc = nullptr;
        for (const ServiceEntry& s : kServices)
            if (s.entry == n) svc = &s;
        uint32_t trap;
        if (!svc) {
            trap = machine().add_trap("service " + std::to_string(n), 0, Convention::Stdcall, [n](TrapCall&) -> uint32_t {
                throw Error("module called host service entry " + std::to_string(n) + ", which it must not use");
            });
        } else {
            trap = machine().add_trap(svc->name, svc->args, Convention::Stdcall, [this, svc](TrapCall& call) -> uint32_t {
                ServiceCall logged{svc->entry, {}};
                for (int i = 0; i < svc->args; ++i) logged.args.push_back(call.arg(i));
                service_calls_.push_back(logged);
                if (svc->entry == service::kTriggerKeyEvent) {
                    apply_key_event(logged.args[0], logged.args[1], true);
                    return 0;
                }
                if (svc->entry == service::kLookupVar) {
                    uint32_t record = logged.args[0];
                    uint32_t token = call.machine.read_u32(record);
                    call.machine.write_f64(record + kVarValue, get(token));
                    ++lookups_by_token_[token];
                    ++lookups_by_record_[record];
                    return 0;
                }
                return service_result_;
            });
        }
        machine().write_u32(services_ + 4 * n, trap);
    }
}

double Host::get(uint32_t token) const {
    auto it = vars_.find(token);
    return it == vars_.end() ? 0.0 : it->second;
}

uint64_t Host::lookup_count(uint32_t token) const {
    auto it = lookups_by_token_.find(token);
    return it == lookups_by_token_.end() ? 0 : it->second;
}

uint64_t Host::lookups_of_record(uint32_t address) const {
    auto it = lookups_by_record_.find(address);
    return it == lookups_by_record_.end() ? 0 : it->second;
}

void Host::clear_logs() {
    service_calls_.clear();
    key_events_.clear();
    lookups_by_token_.clear();
    lookups_by_record_.clear();
}

void Host::apply_key_event(uint32_t event, uint32_t parameter, bool from_module) {
    key_events_.push_back({event, parameter, from_module});
    switch (event) {
    case key::kPressureUp: vars_[75] = get(75) + 1.0; break;
    case key::kPressureDown: vars_[75] = get(75) - 1.0; break;
    case key::kHeadingBugUp: vars_[855] = wrap_degrees(get(855) + 1.0); break;
    case key::kHeadingBugDown: vars_[855] = wrap_degrees(get(855) - 1.0); break;
    case key::kCourseUp: vars_[45] = wrap_degrees(get(45) + 1.0); break;
    case key::kCourseDown: vars_[45] = wrap_degrees(get(45) - 1.0); break;
    default: break;  // other events change nothing the store models; they are logged all the same
    }
}

const GaugeModel& Host::gauge(const std::string& name) const {
    const GaugeModel* g = model_.find(name);
    if (!g) throw Error("unknown gauge \"" + name + "\"; the module has: " + model_.gauge_names());
    return *g;
}

void Host::reload_model() { model_ = read_model(machine(), model_.linkage, model_.import_table); }

const ElementModel& Host::element(const GaugeModel& g, int index) const {
    if (index < 0 || index >= int(g.elements.size()))
        throw Error("gauge " + g.name + " has no element " + std::to_string(index) + " (it has " +
                    std::to_string(g.elements.size()) + ", numbered from 0)");
    return g.elements[size_t(index)];
}

std::string Host::element_name(const GaugeModel& g, int index, const char* field) const {
    return g.name + " element " + std::to_string(index) + " (" + kind_name(g.elements[size_t(index)].kind) + " at " +
           hex(g.elements[size_t(index)].address) + ") " + field;
}

uint32_t Host::call_routine(const std::string& name, int slot, uint32_t word) {
    const GaugeModel& g = gauge(name);
    if (slot < 1 || slot > 7) throw Error("routine slot " + std::to_string(slot) + " does not exist (slots are 1 to 7)");
    uint32_t fn = g.routines[size_t(slot - 1)];
    std::string who = name + " " + kRoutineNames[slot - 1];
    if (!fn) throw Error(who + ": routine slot " + std::to_string(slot) + " is null");
    std::vector<uint32_t> args;
    if (kRoutineTakesWord[slot - 1]) args.push_back(word);
    return machine().call(fn, args, Convention::Stdcall, Returns::Int, who).eax;
}

void Host::refresh_vars(const ElementModel& e) {
    for (const ModuleVarModel& v : e.vars)
        if (v.token != 0) machine().write_f64(v.address + kVarValue, get(v.token));
}

uint32_t Host::string_buffer(const ElementModel& e) {
    auto it = string_buffers_.find(e.address);
    uint32_t buffer;
    if (it != string_buffers_.end()) {
        buffer = it->second;
    } else {
        buffer = machine().alloc(e.max_chars + 1 + kGuardBytes, "text buffer of string element at " + hex(e.address));
        string_buffers_[e.address] = buffer;
    }
    std::vector<uint8_t> fill(e.max_chars + 1 + kGuardBytes, 0);
    std::fill(fill.begin() + e.max_chars + 1, fill.end(), kGuardFill);
    machine().write(buffer, fill);
    machine().write_u32(e.address + kStringBuffer, buffer);
    return buffer;
}

void Host::check_string_buffer(const GaugeModel& g, int index, const ElementModel& e, const std::string& who) {
    uint32_t buffer = string_buffers_.at(e.address);
    auto bytes = machine().read(buffer, e.max_chars + 1 + kGuardBytes);
    for (uint32_t i = e.max_chars + 1; i < bytes.size(); ++i)
        if (bytes[i] != kGuardFill)
            throw Error(who + " wrote past its text buffer: max_chars is " + std::to_string(e.max_chars) +
                        ", so " + std::to_string(e.max_chars + 1) + " bytes, but byte " + std::to_string(i) +
                        " changed");
    bool terminated = false;
    for (uint32_t i = 0; i <= e.max_chars; ++i) terminated = terminated || bytes[i] == 0;
    if (!terminated) throw Error(who + " left its text without a terminating zero within " + std::to_string(e.max_chars + 1) + " bytes");
    (void)g;
    (void)index;
}

std::string Host::text_of(const std::string& name, int index) const {
    const GaugeModel& g = gauge(name);
    const ElementModel& e = element(g, index);
    auto it = string_buffers_.find(e.address);
    if (e.kind != ElementKind::String || it == string_buffers_.end()) return "";
    return module_.machine().read_cstr(it->second, e.max_chars);
}

CallResult Host::call_callback(const std::string& name, int index, Callback which) {
    const GaugeModel& g = gauge(name);
    const ElementModel& e = element(g, index);
    uint32_t fn = 0;
    const char* field = "value_callback";
    switch (which) {
    case Callback::Value: fn = e.value_callback; break;
    case Callback::X: fn = e.x_callback; field = "x_callback"; break;
    case Callback::Y: fn = e.y_callback; field = "y_callback"; break;
    }
    std::string who = element_name(g, index, field);
    if (!fn) throw Error(who + " is null");
    refresh_vars(e);
    if (e.kind == ElementKind::String) string_buffer(e);
    uint32_t arg = e.address;
    CallResult r = machine().call(fn, std::span<const uint32_t>(&arg, 1), Convention::Stdcall, Returns::Double, who);
    if (e.kind == ElementKind::String) check_string_buffer(g, index, e, who);
    return r;
}

std::vector<ElementResult> Host::update(const std::string& name) {
    const GaugeModel& g = gauge(name);
    std::vector<ElementResult> out;
    for (int i = 0; i < int(g.elements.size()); ++i) {
        const ElementModel& e = g.elements[size_t(i)];
        ElementResult r;
        r.index = i;
        r.address = e.address;
        r.kind = e.kind;
        refresh_vars(e);
        auto value_of = [&](size_t var) { return machine().read_f64(e.vars[var].address + kVarValue); };
        switch (e.kind) {
        case ElementKind::Static:
            break;
        case ElementKind::Needle:
        case ElementKind::Icon:
        case ElementKind::String:
            r.has_value = true;
            if (e.value_callback) {
                CallResult c = call_callback(name, i, Callback::Value);
                r.value = c.value;
                r.instructions += c.instructions;
            } else if (e.kind == ElementKind::Needle) {
                r.value = value_of(0);
            } else {
                throw Error(element_name(g, i, "value_callback") + " is null");
            }
            if (e.kind == ElementKind::String) r.text = text_of(name, i);
            break;
        case ElementKind::MovingImage: {
            r.has_value = true;
            CallResult x = call_callback(name, i, Callback::X);
            CallResult y = call_callback(name, i, Callback::Y);
            r.x = x.value;
            r.y = y.value;
            r.instructions = x.instructions + y.instructions;
            break;
        }
        case ElementKind::Sprite:
            r.has_value = true;
            r.x = value_of(0) * e.x_scale;
            r.y = value_of(1) * e.y_scale;
            r.rotation = value_of(2) * e.rotation_scale;
            break;
        }
        out.push_back(r);
    }
    return out;
}

uint32_t Host::click(const std::string& name, int entry, uint32_t arg1, uint32_t arg2) {
    const GaugeModel& g = gauge(name);
    if (entry < 0 || entry >= int(g.mouse.size()))
        throw Error("gauge " + name + " has no mouse entry " + std::to_string(entry) + " (it has " +
                    std::to_string(g.mouse.size()) + ", numbered from 0)");
    const MouseRectModel& m = g.mouse[size_t(entry)];
    std::string who = name + " mouse entry " + std::to_string(entry) + " at " + hex(m.address);
    if (m.rect_type != 2) throw Error(who + " is not a child (rect_type " + std::to_string(m.rect_type) + "): nothing to click");
    if (m.event_id) {
        apply_key_event(m.event_id, 0, false);
        return 0;
    }
    uint32_t args[2] = {arg1, arg2};
    return machine().call(m.mouse_function, args, Convention::Stdcall, Returns::Int, who + " mouse_function").eax;
}

}  // namespace gaugehost

// gaugehost: a stand-in host that loads the real KEL.gau (PE32, i386) into the Unicorn
// x86 emulator and drives its gauges the way the flight-simulation host does.
//
// Using it from a test (link gaugehost_core, include "gaugehost.h"):
//
//   gaugehost::Host host(KEL_GAU);                          // preferred base
//   gaugehost::Host moved(KEL_GAU, {.base = 0x20000000});   // relocated
//   host.set(61, 120.0);                                    // variable store: token → value
//   auto results = host.update("AIRSPEED");                 // one update of a gauge
//   results[1].value;                                       // needle: callback result
//   host.call_callback("ALTIMETER", 4);                     // one element's callback directly
//   host.call_routine("Clock", 6);                          // GaugeDraw through Clock's header
//   host.service_calls();                                   // every host service call, in order
//   host.click("OBS", 3);                                   // a mouse rect: its event or function
//   host.key_events();                                      // key events sent, by whom
//   host.lookup_count(81);                                  // LookupVar calls for token 81
//   host.read_u32(addr); host.read_f64(addr);               // raw emulated memory
//   host.model().find("ADF")->elements[1].max_degrees_per_tick;  // records read by offset
//
// The CLI built from main.cpp lands at <build dir>/gaugehost ("gaugehost --help").
//
// Indices are 0-based everywhere: elements in GaugeModel::elements order (depth-first
// from the root), mouse entries in list order. Every failure is a gaugehost::Error with
// a one-line message naming what went wrong (function called, gauge, address).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bytes.h"
#include "loader.h"
#include "machine.h"
#include "model.h"
#include "pe.h"

namespace gaugehost {

// Host service table entries the module may call.
namespace service {
constexpr uint32_t kQueryElementList = 24, kInstallElementList = 25, kInitializeElementList = 26,
                   kUpdateElementList = 27, kGenerateElementList = 28, kDrawElementList = 29,
                   kKillElementList = 31, kTriggerKeyEvent = 36, kLookupVar = 40;
constexpr uint32_t kTableEntries = 64;  // at least the 41 the module indexes
}  // namespace service

// Key events the host applies to its variable store, and the tokens they move.
namespace key {
constexpr uint32_t kPressureUp = 0x1015B, kPressureDown = 0x1015C;  // token 75 ±1
constexpr uint32_t kHeadingBugUp = 0x10157, kHeadingBugDown = 0x10158;  // token 855 ±1, 0..359
constexpr uint32_t kCourseUp = 0x1007F, kCourseDown = 0x1007E;  // token 45 ±1, 0..359
}  // namespace key

struct HostOptions {
    std::optional<uint32_t> base;       // the module's preferred base when unset
    uint64_t budget = kDefaultBudget;   // instructions per call
    uint32_t service_result = 0;        // what the element-list services return
};

struct ServiceCall {
    uint32_t entry = 0;
    std::vector<uint32_t> args;
};

struct KeyEvent {
    uint32_t event = 0;
    uint32_t parameter = 0;
    bool from_module = false;  // true: TriggerKeyEvent; false: a mouse rect's event_id
};

// Which callback of an element to call.
enum class Callback { Value, X, Y };

// The outcome of one element in one update.
struct ElementResult {
    int index = 0;
    uint32_t address = 0;
    ElementKind kind = ElementKind::Static;
    bool has_value = false;
    double value = 0.0;      // needle: callback result or source value; icon: index; string: returned double
    std::string text;        // string: the text written into the host buffer
    double x = 0.0, y = 0.0;  // moving image: x/y callback results; sprite: x/y value × scale
    double rotation = 0.0;   // sprite: rotation value × scale
    uint64_t instructions = 0;  // executed by this element's callbacks
};

class Host {
public:
    // Loads the module, calls the entry point (attach), writes the service table address
    // into ImportTable, reads the model and calls ModuleInit.
    explicit Host(const std::string& path, const HostOptions& options = {});
    // Calls ModuleDeinit and the entry point (detach) unless shutdown() already did.
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    // ModuleDeinit then entry point (detach); throws on failure. Idempotent.
    void shutdown();

    // Variable store: token → value; an unset token reads 0.0.
    void set(uint32_t token, double value) { vars_[token] = value; }
    double get(uint32_t token) const;

    // Logs of what the module asked of the host.
    const std::vector<ServiceCall>& service_calls() const { return service_calls_; }
    const std::vector<KeyEvent>& key_events() const { return key_events_; }
    uint64_t lookup_count(uint32_t token) const;
    uint64_t lookups_of_record(uint32_t address) const;
    void clear_logs();
    void set_service_result(uint32_t value) { service_result_ = value; }

    // The module read by offsets, and one gauge of it (unknown name: error listing the valid ones).
    const ModuleModel& model() const { return model_; }
    const GaugeModel& gauge(const std::string& name) const;
    // Re-reads the model (after the module's records changed).
    void reload_model();

    // Calls routine slot 1..7 of a gauge's header; slots 2 and 5 take `word`.
    uint32_t call_routine(const std::string& gauge, int slot, uint32_t word = 0);
    // One update: refresh embedded variables, give string elements their buffers, call callbacks.
    std::vector<ElementResult> update(const std::string& gauge);
    // Calls one callback of one element (refreshing that element's variables first).
    CallResult call_callback(const std::string& gauge, int element, Callback which = Callback::Value);
    // Text last written into a string element's host buffer.
    std::string text_of(const std::string& gauge, int element) const;
    // A click on mouse entry `entry`: sends its event_id (returns 0) or calls its mouse_function(arg1, arg2).
    uint32_t click(const std::string& gauge, int entry, uint32_t arg1 = 0, uint32_t arg2 = 0);
    // Applies a key event to the variable store as the host does, and logs it.
    void apply_key_event(uint32_t event, uint32_t parameter, bool from_module);

    // Raw memory and the machinery underneath.
    std::vector<uint8_t> read(uint32_t address, uint32_t count) const { return module_.machine().read(address, count); }
    uint32_t read_u32(uint32_t address) const { return module_.machine().read_u32(address); }
    double read_f64(uint32_t address) const { return module_.machine().read_f64(address); }
    LoadedModule& module() { return module_; }
    const LoadedModule& module() const { return module_; }
    Machine& machine() { return module_.machine(); }
    uint32_t services_table() const { return services_; }
    uint32_t linkage() const { return model_.linkage; }
    uint32_t import_table() const { return model_.import_table; }

private:
    void install_services();
    void refresh_vars(const ElementModel& e);
    uint32_t string_buffer(const ElementModel& e);
    void check_string_buffer(const GaugeModel& g, int index, const ElementModel& e, const std::string& who);
    std::string element_name(const GaugeModel& g, int index, const char* field) const;
    const ElementModel& element(const GaugeModel& g, int index) const;

    LoadedModule module_;
    ModuleModel model_;
    uint32_t services_ = 0;
    uint32_t service_result_ = 0;
    bool shut_down_ = false;
    std::map<uint32_t, double> vars_;
    std::vector<ServiceCall> service_calls_;
    std::vector<KeyEvent> key_events_;
    std::map<uint32_t, uint64_t> lookups_by_token_, lookups_by_record_;
    std::map<uint32_t, uint32_t> string_buffers_;  // element address → host buffer
};

}  // namespace gaugehost

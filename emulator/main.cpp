// gaugehost CLI: show KEL.gau's records and drive its gauges in the emulator.
// Exit codes: 0 ok, 1 usage error, 2 load or run error.
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bitmaps.h"
#include "gaugehost.h"
#include "render/commands.h"
#include "render/frames.h"
#include "report.h"
#include "scenario.h"

namespace {

using namespace gaugehost;

constexpr int kExitOk = 0, kExitUsage = 1, kExitRun = 2;

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Parsed command line of one subcommand: positionals, flags, and repeatable options.
struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::vector<std::string>> options;
    bool has(const std::string& o) const { return options.count(o) != 0; }
    std::string one(const std::string& o) const { return options.at(o).back(); }
};

struct OptionInfo {
    std::string name;
    bool takes_value;
    std::string help;
};

struct Command {
    std::string name;
    std::string summary;
    std::string usage;
    std::vector<OptionInfo> options;
    std::function<int(const Args&)> run;
};

uint32_t parse_u32(const std::string& text, const std::string& what) {
    if (text.empty()) throw UsageError(what + " is empty");
    errno = 0;
    char* end = nullptr;
    unsigned long long v = std::strtoull(text.c_str(), &end, 0);
    if (errno || *end || v > 0xFFFFFFFFull || text[0] == '-')
        throw UsageError(what + " \"" + text + "\" is not a 32-bit unsigned number");
    return uint32_t(v);
}

double parse_double(const std::string& text, const std::string& what) {
    errno = 0;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || errno || *end) throw UsageError(what + " \"" + text + "\" is not a number");
    return v;
}

Args parse(const Command& cmd, const std::vector<std::string>& argv) {
    Args a;
    for (size_t i = 0; i < argv.size(); ++i) {
        const std::string& s = argv[i];
        // Long options, and short ones such as -o that the command lists.
        bool is_option = s.rfind("--", 0) == 0 && s != "--";
        for (const OptionInfo& o : cmd.options) is_option |= o.name == s;
        if (!is_option) {
            a.positional.push_back(s);
            continue;
        }
        std::string name = s, value;
        bool inline_value = false;
        if (auto eq = s.find('='); eq != std::string::npos) {
            name = s.substr(0, eq);
            value = s.substr(eq + 1);
            inline_value = true;
        }
        const OptionInfo* option = nullptr;
        for (const OptionInfo& o : cmd.options)
            if (o.name == name) option = &o;
        if (!option) {
            std::string valid;
            for (const OptionInfo& o : cmd.options) valid += " " + o.name;
            throw UsageError("unknown option " + name + " for " + cmd.name + "; valid:" + valid);
        }
        if (option->takes_value && !inline_value) {
            if (i + 1 >= argv.size()) throw UsageError("option " + name + " needs a value");
            value = argv[++i];
        } else if (!option->takes_value && inline_value) {
            throw UsageError("option " + name + " takes no value");
        }
        a.options[name].push_back(value);
    }
    return a;
}

HostOptions host_options(const Args& a) {
    HostOptions o;
    if (a.has("--base")) o.base = parse_u32(a.one("--base"), "--base");
    if (a.has("--budget")) o.budget = parse_u32(a.one("--budget"), "--budget");
    return o;
}

std::string module_path(const Args& a, const Command& cmd) {
    if (a.positional.size() != 1) throw UsageError(cmd.name + " takes one module file; usage: " + cmd.usage);
    return a.positional[0];
}

int run_info(const Command& cmd, const Args& a) {
    Host host(module_path(a, cmd), host_options(a));
    bool verbose = a.has("--verbose");
    if (a.has("--json"))
        std::cout << module_json(host, verbose).dump(2) << "\n";
    else
        std::cout << module_text(host, verbose);
    host.shutdown();
    return kExitOk;
}

int run_bitmaps(const Command& cmd, const Args& a) {
    const PeImage pe = read_pe_file(module_path(a, cmd));
    const auto bitmaps = list_bitmaps(pe);
    if (a.has("--json"))
        std::cout << bitmaps_json(bitmaps).dump(2) << "\n";
    else
        std::cout << bitmaps_text(bitmaps);
    if (a.has("--out")) {
        for (const BitmapInfo& b : bitmaps) write_bitmap_png(pe, b.id, a.one("--out"));
        std::cerr << "gaugehost bitmaps: wrote " << bitmaps.size() << " PNGs to " << a.one("--out") << "\n";
    }
    return kExitOk;
}

std::vector<std::pair<uint32_t, double>> parse_sets(const Args& a) {
    std::vector<std::pair<uint32_t, double>> sets;
    if (a.has("--set"))
        for (const std::string& s : a.options.at("--set")) {
            auto eq = s.find('=');
            if (eq == std::string::npos) throw UsageError("--set \"" + s + "\" is not TOKEN=VALUE");
            sets.emplace_back(parse_u32(s.substr(0, eq), "token"), parse_double(s.substr(eq + 1), "value"));
        }
    return sets;
}

// The gauge named by --gauge; an unknown name is a usage error listing the module's gauges.
const GaugeModel& named_gauge(const Host& host, const Args& a) {
    const GaugeModel* found = host.model().find(a.one("--gauge"));
    if (!found) throw UsageError("unknown gauge \"" + a.one("--gauge") + "\"; the module has: " + host.model().gauge_names());
    return *found;
}

int run_update(const Command& cmd, const Args& a) {
    std::string path = module_path(a, cmd);
    if (!a.has("--gauge")) throw UsageError("update needs --gauge NAME");
    const auto sets = parse_sets(a);
    Host host(path, host_options(a));
    for (auto [token, value] : sets) host.set(token, value);
    const GaugeModel& g = named_gauge(host, a);
    auto results = host.update(g.name);
    if (a.has("--json"))
        std::cout << results_json(g, results).dump(2) << "\n";
    else
        std::cout << results_text(g, results);
    host.shutdown();
    return kExitOk;
}

std::string output_path(const Args& a, const Command& cmd) {
    if (!a.has("-o")) throw UsageError(cmd.name + " needs -o FILE.png; usage: " + cmd.usage);
    return a.one("-o");
}

int run_render(const Command& cmd, const Args& a) {
    render::RenderRequest r;
    r.module = module_path(a, cmd);
    if (!a.has("--gauge")) throw UsageError("render needs --gauge NAME");
    r.gauge = a.one("--gauge");
    r.sets = parse_sets(a);
    r.output = output_path(a, cmd);
    if (a.has("--scale")) {
        r.scale = parse_double(a.one("--scale"), "--scale");
        if (!(r.scale > 0.0 && r.scale <= 16.0)) throw UsageError("--scale must lie above 0 and at most 16");
    }
    r.host = host_options(a);
    render::RenderGauge(r);
    return kExitOk;
}

int run_panel(const Command& cmd, const Args& a) {
    render::PanelRequest r;
    r.module = module_path(a, cmd);
    r.sets = parse_sets(a);
    if (a.has("--scenario")) r.scenario = a.one("--scenario");
    r.output = output_path(a, cmd);
    r.host = host_options(a);
    render::RenderPanel(r);
    return kExitOk;
}

// "X,Y" of --at: two 32-bit integers.
std::array<int32_t, 2> parse_point(const std::string& text) {
    auto comma = text.find(',');
    if (comma == std::string::npos) throw UsageError("--at \"" + text + "\" is not X,Y");
    std::array<int32_t, 2> p{};
    for (int i = 0; i < 2; ++i) {
        std::string part = i == 0 ? text.substr(0, comma) : text.substr(comma + 1);
        errno = 0;
        char* end = nullptr;
        long long v = part.empty() ? 0 : std::strtoll(part.c_str(), &end, 10);
        if (part.empty() || errno || *end || v < INT32_MIN || v > INT32_MAX)
            throw UsageError("--at \"" + text + "\": \"" + part + "\" is not a 32-bit integer");
        p[size_t(i)] = int32_t(v);
    }
    return p;
}

int run_click(const Command& cmd, const Args& a) {
    std::string path = module_path(a, cmd);
    if (!a.has("--gauge")) throw UsageError("click needs --gauge NAME; usage: " + cmd.usage);
    if (a.has("--at") == a.has("--area")) throw UsageError("click needs exactly one of --at X,Y and --area N");
    std::optional<std::array<int32_t, 2>> at;
    int area = 0;
    if (a.has("--at")) {
        at = parse_point(a.one("--at"));
    } else {
        uint32_t n = parse_u32(a.one("--area"), "--area");
        if (n > 0x7FFFFFFF) throw UsageError("--area " + a.one("--area") + " is too large");
        area = int(n);
    }
    auto sets = parse_sets(a);
    Host host(path, host_options(a));
    for (auto [token, value] : sets) host.set(token, value);
    const std::string& gauge = named_gauge(host, a).name;
    ClickOutcome c = at ? click_at(host, gauge, (*at)[0], (*at)[1]) : click_area(host, gauge, area);
    if (a.has("--json"))
        std::cout << click_json(c).dump(2) << "\n";
    else
        std::cout << click_text(c);
    host.shutdown();
    return kExitOk;
}

int run_scenario_file(const Command& cmd, const Args& a) {
    if (a.positional.size() != 2) throw UsageError("run takes a module file and a scenario file; usage: " + cmd.usage);
    Scenario scenario = load_scenario(a.positional[1]);
    Host host(a.positional[0], host_options(a));
    auto steps = run_scenario(host, scenario);
    if (a.has("--json"))
        std::cout << scenario_json(host, steps).dump(2) << "\n";
    else
        std::cout << scenario_text(host, steps);
    host.shutdown();
    if (a.has("--frames")) {
        // The frames come from a fresh load of the module playing the same steps, with
        // every gauge updated after each step; the report above is unaffected.
        int frames = render::WriteFrames(a.positional[0], host_options(a), a.positional[1], a.one("--frames"));
        std::cerr << "gaugehost run: wrote " << frames << " frames to " << a.one("--frames") << "\n";
    }
    return kExitOk;
}

// --gauge and --set read alike on every command that takes them.
OptionInfo GaugeOption(const std::string& verb) {
    return {"--gauge", true, "the gauge to " + verb + ", by its name in the module"};
}
OptionInfo SetOption(const std::string& before) {
    return {"--set", true, "set host variable TOKEN to VALUE before " + before + " (repeatable)"};
}

const std::vector<OptionInfo> kCommon = {
    {"--base", true, "load the module at ADDR (a multiple of 0x10000) instead of its preferred base"},
    {"--budget", true, "instructions allowed per call (default 1000000)"},
    {"--json", false, "print JSON"},
    {"--help", false, "show this help"},
};

std::vector<Command> commands() {
    std::vector<Command> table;
    Command info{"info", "show the module: base, entry, exports, sections, version, gauges, mouse areas",
                 "gaugehost info MODULE [--json] [--verbose] [--base ADDR]", kCommon, nullptr};
    info.options.push_back({"--verbose", false, "also print the emulated memory map"});
    table.push_back(info);
    Command update{"update", "run one update of a gauge and print each element's results",
                   "gaugehost update MODULE --gauge NAME [--set TOKEN=VALUE ...] [--json] [--base ADDR]", kCommon,
                   nullptr};
    update.options.push_back(GaugeOption("update"));
    update.options.push_back(SetOption("the update"));
    table.push_back(update);
    Command bitmaps{"bitmaps", "list the module's bitmap resources (id, size, bits, palette) and write them as PNGs",
                    "gaugehost bitmaps MODULE [--out DIR] [--json]", {kCommon[2], kCommon[3]}, nullptr};
    bitmaps.options.push_back({"--out", true, "write each bitmap as DIR/<id>.png"});
    table.push_back(bitmaps);
    Command render{"render", "draw one gauge after one update, as the host shows it, to a PNG",
                   "gaugehost render MODULE --gauge NAME [--set TOKEN=VALUE ...] -o FILE.png [--scale N]", kCommon,
                   nullptr};
    render.options.push_back(GaugeOption("draw"));
    render.options.push_back(SetOption("the update"));
    render.options.push_back({"-o", true, "the PNG file to write"});
    render.options.push_back({"--scale", true, "draw N times the gauge's pixel size (default 1)"});
    table.push_back(render);
    Command panel{"panel", "draw all seventeen gauges on one labelled sheet, to a PNG",
                  "gaugehost panel MODULE [--scenario FILE] [--set TOKEN=VALUE ...] -o panel.png", kCommon, nullptr};
    panel.options.push_back({"--scenario", true, "play this scenario (JSON) and draw the sheet after its last step"});
    panel.options.push_back(SetOption("the updates"));
    panel.options.push_back({"-o", true, "the PNG file to write"});
    table.push_back(panel);
    Command click{"click", "click a gauge where the host would: hit-test a point, or take a mouse area by its index",
                  "gaugehost click MODULE --gauge NAME (--at X,Y | --area N) [--set TOKEN=VALUE ...] [--json]", kCommon,
                  nullptr};
    click.options.push_back(GaugeOption("click"));
    click.options.push_back({"--at", true, "the pixel X,Y of the gauge's background; only children's boxes [x, x+w) x [y, y+h) count"});
    click.options.push_back({"--area", true, "the mouse entry to click, numbered from 0 as 'info' lists them; it must be a child"});
    click.options.push_back(SetOption("the click"));
    table.push_back(click);
    Command run{"run", "play a JSON scenario (set variables, click, show gauges) through one loaded module",
                "gaugehost run MODULE SCENARIO.json [--json] [--frames DIR] [--base ADDR]", kCommon, nullptr};
    run.options.push_back({"--frames", true, "also draw the panel sheet after each step into DIR/frame_NNN.png"});
    table.push_back(run);
    const std::map<std::string, int (*)(const Command&, const Args&)> runners = {
        {"info", run_info},   {"bitmaps", run_bitmaps}, {"update", run_update}, {"render", run_render},
        {"panel", run_panel}, {"click", run_click},     {"run", run_scenario_file}};
    for (Command& c : table) c.run = [c, fn = runners.at(c.name)](const Args& a) { return fn(c, a); };
    return table;
}

void print_help(const std::vector<Command>& table) {
    std::cout << "usage: gaugehost COMMAND [options]\n\ncommands:\n";
    for (const Command& c : table) std::cout << "  " << c.name << "  " << c.summary << "\n";
    std::cout << "\n'gaugehost COMMAND --help' shows a command's options.\n"
                 "exit codes: 0 ok, 1 usage error, 2 load or run error\n";
}

void print_help(const Command& c) {
    std::cout << "usage: " << c.usage << "\n" << c.summary << "\n\noptions:\n";
    for (const OptionInfo& o : c.options)
        std::cout << "  " << o.name << (o.takes_value ? " VALUE" : "") << "  " << o.help << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Command> table = commands();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        print_help(table);
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        print_help(table);
        return kExitOk;
    }
    const Command* cmd = nullptr;
    for (const Command& c : table)
        if (c.name == args[0]) cmd = &c;
    if (!cmd) {
        std::string names;
        for (const Command& c : table) names += (names.empty() ? "" : ", ") + c.name;
        std::cerr << "gaugehost: unknown command \"" << args[0] << "\"; commands: " << names << "\n";
        return kExitUsage;
    }
    try {
        Args a = parse(*cmd, std::vector<std::string>(args.begin() + 1, args.end()));
        if (a.has("--help")) {
            print_help(*cmd);
            return kExitOk;
        }
        return cmd->run(a);
    } catch (const UsageError& e) {
        std::cerr << "gaugehost " << cmd->name << ": " << e.what() << "\n";
        return kExitUsage;
    } catch (const Error& e) {
        std::cerr << "gaugehost " << cmd->name << ": " << e.what() << "\n";
        return kExitRun;
    } catch (const std::exception& e) {
        std::cerr << "gaugehost " << cmd->name << ": " << e.what() << "\n";
        return kExitRun;
    }
}

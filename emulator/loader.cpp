#include "loader.h"

#include <algorithm>
#include <cctype>

#include "wsprintf.h"

namespace gaugehost {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string file_name(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The longest format string wsprintfA is given; far longer than any the module has.
constexpr size_t kMaxFormat = 4096;

}  // namespace

void ImportRegistry::add(const std::string& dll, const std::string& function, HostImport entry) {
    imports_[lower(dll) + "!" + function] = {dll + "!" + function, std::move(entry)};
}

const HostImport* ImportRegistry::find(const Import& import) const {
    if (import.name.empty()) return nullptr;
    auto it = imports_.find(lower(import.dll) + "!" + import.name);
    return it == imports_.end() ? nullptr : &it->second.second;
}

std::string ImportRegistry::names() const {
    std::string out;
    for (const auto& [key, entry] : imports_) out += (out.empty() ? "" : ", ") + entry.first;
    return out.empty() ? "none" : out;
}

uint32_t emulated_wsprintfA(TrapCall& call) {
    Machine& m = call.machine;
    uint32_t buffer = call.arg(0);
    std::string format = m.read_cstr(call.arg(1), kMaxFormat);
    int next = 2;
    std::string text = wsprintf_format(
        format, [&] { return call.arg(next++); }, [&](uint32_t p) { return m.read_cstr(p, kWsprintfBufferLimit); });
    const Region* r = m.region_of(buffer);
    if (!r || !(r->perms & kProtWrite) || uint64_t(buffer) + text.size() + 1 > uint64_t(r->base) + r->size)
        throw Error("wsprintfA: output buffer at " + hex(buffer) + " is not writable memory for " +
                    std::to_string(text.size() + 1) + " bytes");
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    m.write(buffer, bytes);
    return uint32_t(text.size());
}

ImportRegistry default_imports() {
    ImportRegistry r;
    r.add("USER32.dll", "wsprintfA", {2, Convention::Cdecl, emulated_wsprintfA});
    return r;
}

LoadedModule::LoadedModule(const std::string& path, const LoadOptions& options, const ImportRegistry& imports)
    : path_(path), pe_(read_pe_file(path)) {
    machine_.set_budget(options.budget);
    uint32_t base = options.base.value_or(pe_.preferred_base);
    if (base == 0 || (base & 0xFFFF))
        throw Error("cannot load " + path + " at " + hex(base) + ": the base must be a non-zero multiple of 0x10000");
    if (uint64_t(base) + pe_.size_of_image > 0x100000000ull)
        throw Error("cannot load " + path + " at " + hex(base) + ": the image does not fit below 4 GiB");
    if (base != pe_.preferred_base) {
        if (pe_.relocations.empty())
            throw Error("cannot load " + path + " at " + hex(base) + ": the module has no base relocations");
        pe_.relocate(base);
    }
    for (const Import& imp : pe_.imports) {
        const HostImport* bound = imports.find(imp);
        if (!bound)
            throw Error(path + ": unknown import " + imp.full_name() + " (gaugehost provides " + imports.names() + ")");
        uint32_t trap = machine_.add_trap(imp.full_name(), bound->arg_count, bound->conv, bound->handler);
        put_u32(&pe_.image[imp.iat_rva], trap);
        bindings_.emplace_back(imp, trap);
    }
    map_image();
}

void LoadedModule::map_image() {
    const std::string name = file_name(path_);
    const uint32_t pages = (pe_.size_of_image + 0xFFF) / 0x1000;
    // Each page gets the union of the protections of what lies on it; headers are read-only.
    std::vector<uint32_t> perms(pages, 0);
    std::vector<std::string> labels(pages);
    auto claim = [&](uint64_t begin, uint64_t end, uint32_t p, const std::string& what) {
        for (uint64_t page = begin / 0x1000; page < pages && page * 0x1000 < end; ++page) {
            perms[page] |= p;
            if (labels[page].empty()) labels[page] = what;
            else if (labels[page].find(what) == std::string::npos) labels[page] += "+" + what;
        }
    };
    claim(0, pe_.size_of_headers, kProtRead, "headers");
    uint32_t align = std::max<uint32_t>(pe_.section_alignment, 1);
    for (const Section& s : pe_.sections) {
        uint32_t p = kProtRead | (s.writable() ? kProtWrite : 0) | (s.executable() ? kProtExec : 0);
        uint64_t extent = std::max(s.virtual_size, s.raw_size);
        extent = (extent + align - 1) / align * align;
        claim(s.rva, std::min<uint64_t>(uint64_t(s.rva) + extent, pe_.size_of_image), p, s.name);
    }
    for (uint32_t page = 0; page < pages; ++page)
        if (perms[page] == 0) {
            perms[page] = kProtRead;
            labels[page] = "(between sections)";
        }
    for (uint32_t first = 0; first < pages;) {
        uint32_t last = first;
        while (last + 1 < pages && perms[last + 1] == perms[first] && labels[last + 1] == labels[first]) ++last;
        machine_.map(pe_.base + first * 0x1000, (last - first + 1) * 0x1000, perms[first], name + " " + labels[first]);
        first = last + 1;
    }
    machine_.write(pe_.base, pe_.image);
}

std::optional<uint32_t> LoadedModule::find_export(const std::string& name) const {
    const Export* e = pe_.find_export(name);
    if (!e) return std::nullopt;
    return pe_.base + e->rva;
}

uint32_t LoadedModule::export_address(const std::string& name) const {
    auto a = find_export(name);
    if (!a) throw Error(path_ + ": missing export " + name);
    return *a;
}

CallResult LoadedModule::call_entry(EntryReason reason) {
    static const char* names[] = {"process detach", "process attach", "thread attach", "thread detach"};
    uint32_t args[3] = {pe_.base, uint32_t(reason), 0};
    std::string what = std::string("entry point (") + names[uint32_t(reason) & 3] + ")";
    CallResult r = machine_.call(entry_point(), args, Convention::Stdcall, Returns::Int, what);
    if (r.eax == 0) throw Error(path_ + ": " + what + " returned 0 (failure)");
    return r;
}

}  // namespace gaugehost

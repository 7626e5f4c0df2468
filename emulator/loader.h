// Loads a PE32 DLL into the emulated machine: maps it at its preferred or a chosen
// base (relocating), binds its imports to host traps, and calls into it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "machine.h"
#include "pe.h"

namespace gaugehost {

struct HostImport {
    int arg_count = 0;  // fixed arguments; a cdecl variadic import reads more itself
    Convention conv = Convention::Stdcall;
    TrapHandler handler;
};

// name ("DLL!function", DLL case-insensitive) → how the host answers the import.
class ImportRegistry {
public:
    void add(const std::string& dll, const std::string& function, HostImport entry);
    const HostImport* find(const Import& import) const;
    std::string names() const;  // "USER32.dll!wsprintfA, ..." for error messages

private:
    std::map<std::string, std::pair<std::string, HostImport>> imports_;  // lower-case key → display name, binding
};

// The imports gaugehost provides: USER32.dll!wsprintfA.
ImportRegistry default_imports();

// wsprintfA(buffer, format, ...) on the machine's memory; returns the characters written.
uint32_t emulated_wsprintfA(TrapCall& call);

struct LoadOptions {
    std::optional<uint32_t> base;  // preferred base when unset
    uint64_t budget = kDefaultBudget;
};

// Process-attach and the other reasons the entry point is called with.
enum class EntryReason : uint32_t { ProcessDetach = 0, ProcessAttach = 1, ThreadAttach = 2, ThreadDetach = 3 };

class LoadedModule {
public:
    // Reads, maps, relocates and binds; does not call the entry point.
    LoadedModule(const std::string& path, const LoadOptions& options = {},
                 const ImportRegistry& imports = default_imports());

    Machine& machine() { return machine_; }
    const Machine& machine() const { return machine_; }
    const PeImage& pe() const { return pe_; }
    const std::string& path() const { return path_; }
    uint32_t base() const { return pe_.base; }
    uint32_t entry_point() const { return pe_.base + pe_.entry_rva; }
    // Address of an export by name, or nullopt.
    std::optional<uint32_t> find_export(const std::string& name) const;
    // Address of an export by name; throws "missing export NAME" when absent.
    uint32_t export_address(const std::string& name) const;
    // Bound imports: the import and the trap address written into its slot.
    const std::vector<std::pair<Import, uint32_t>>& bindings() const { return bindings_; }

    // Calls the entry point (instance = base, reason, reserved = 0); throws unless it returns nonzero.
    CallResult call_entry(EntryReason reason);

private:
    void map_image();

    std::string path_;
    PeImage pe_;
    Machine machine_;
    std::vector<std::pair<Import, uint32_t>> bindings_;
};

}  // namespace gaugehost

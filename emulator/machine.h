// The emulated 32-bit x86 machine: memory regions with labels, one sentinel page
// for the return address and every trap, a host heap, and checked calls into code.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "bytes.h"

struct uc_struct;

namespace gaugehost {

enum class Convention { Cdecl, Stdcall };
enum class Returns { Nothing, Int, Double };

// Fixed host regions, far above any module image.
constexpr uint32_t kHeapBase = 0x7F000000, kHeapSize = 0x00400000;
constexpr uint32_t kStackBase = 0x7FE00000, kStackSize = 0x00100000;
constexpr uint32_t kSentinelBase = 0x7FFE0000, kSentinelSize = 0x1000;
constexpr uint64_t kDefaultBudget = 1'000'000;  // instructions per call

constexpr uint32_t kProtRead = 1, kProtWrite = 2, kProtExec = 4;

struct Region {
    uint32_t base = 0, size = 0, perms = 0;
    std::string label;
};

struct CallResult {
    uint32_t eax = 0;
    double value = 0.0;         // ST0 for Returns::Double
    uint64_t instructions = 0;  // executed by the call, including those of nested traps' returns
};

class Machine;

// What a trap handler sees: its arguments on the emulated stack.
struct TrapCall {
    Machine& machine;
    uint32_t args_address;  // address of the first argument
    uint32_t arg(int index) const;
};

using TrapHandler = std::function<uint32_t(TrapCall&)>;

class Machine {
public:
    Machine();
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // Maps [base, base+size) page-aligned with the given protection and a label for the map.
    void map(uint32_t base, uint32_t size, uint32_t perms, std::string label);
    const std::vector<Region>& regions() const { return regions_; }
    // The labelled memory map, one region per line.
    std::string describe_map() const;
    // Region holding address, or nullptr.
    const Region* region_of(uint32_t address) const;

    void write(uint32_t address, std::span<const uint8_t> bytes);
    std::vector<uint8_t> read(uint32_t address, uint32_t count) const;
    uint32_t read_u32(uint32_t address) const;
    int32_t read_s32(uint32_t address) const { return int32_t(read_u32(address)); }
    double read_f64(uint32_t address) const;
    float read_f32(uint32_t address) const;
    void write_u32(uint32_t address, uint32_t value);
    void write_f64(uint32_t address, double value);
    // NUL-terminated string at address, at most max_len characters.
    std::string read_cstr(uint32_t address, size_t max_len) const;

    // Carves `size` bytes (8-aligned) out of the host heap.
    uint32_t alloc(uint32_t size, const std::string& label);
    const std::vector<Region>& heap_blocks() const { return heap_blocks_; }

    // A trap address in the sentinel page: code calling it runs `handler`, which gets
    // the arguments; its result goes to EAX; a stdcall trap pops its arg_count words.
    uint32_t add_trap(const std::string& name, int arg_count, Convention conv, TrapHandler handler);
    uint32_t return_address() const { return kSentinelBase; }

    // Calls code at `function` with 32-bit arguments, return address the sentinel, and checks
    // the stack balance, callee-saved registers, the x87 state, the budget and memory faults.
    // `name` names the function in every error.
    CallResult call(uint32_t function, std::span<const uint32_t> args, Convention conv, Returns returns,
                    const std::string& name);

    void set_budget(uint64_t instructions) { budget_ = instructions; }
    uint64_t budget() const { return budget_; }

    // Hook plumbing; public only for the C callbacks.
    struct Trap {
        std::string name;
        int arg_count;
        Convention conv;
        TrapHandler handler;
    };
    void on_interrupt(uint32_t number);
    void on_code();
    void on_invalid_memory(int type, uint64_t address, int size);

private:
    uc_struct* uc_ = nullptr;
    std::vector<Region> regions_;
    std::vector<Region> heap_blocks_;
    uint32_t heap_next_ = kHeapBase;
    std::map<uint32_t, Trap> traps_;
    uint32_t next_trap_ = kSentinelBase + 16;
    uint64_t budget_ = kDefaultBudget;
    // State of the call in progress.
    bool in_call_ = false;
    uint64_t executed_ = 0;
    std::string pending_error_;
    std::string fault_;
};

}  // namespace gaugehost

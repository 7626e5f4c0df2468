#include "machine.h"

#include <unicorn/unicorn.h>

#include <algorithm>
#include <cfloat>
#include <cstring>

namespace gaugehost {

namespace {

// Values the callee must hand back unchanged in the callee-saved registers.
constexpr uint32_t kCanaryEbx = 0xB1B1B1B1, kCanaryEsi = 0x51515151, kCanaryEdi = 0xD1D1D1D1,
                   kCanaryEbp = 0xBEBEBEBE;
// The x87 control word and MXCSR a Windows thread starts with.
constexpr uint16_t kFpuControl = 0x027F;
constexpr uint32_t kMxcsr = 0x1F80;
constexpr uint32_t kTrapSlot = 8;
constexpr uint8_t kInt3 = 0xCC;

void check(uc_err err, const std::string& what) {
    if (err != UC_ERR_OK) throw Error(what + ": " + uc_strerror(err));
}

uint32_t page_floor(uint32_t v) { return v & ~0xFFFu; }
uint64_t page_ceil(uint64_t v) { return (v + 0xFFF) & ~uint64_t(0xFFF); }

void hook_interrupt(uc_engine*, uint32_t number, void* self) { static_cast<Machine*>(self)->on_interrupt(number); }
void hook_code(uc_engine*, uint64_t, uint32_t, void* self) { static_cast<Machine*>(self)->on_code(); }
bool hook_invalid(uc_engine*, uc_mem_type type, uint64_t address, int size, int64_t, void* self) {
    static_cast<Machine*>(self)->on_invalid_memory(int(type), address, size);
    return false;
}

// 80-bit x87 extended value as stored by the emulator: 64-bit mantissa, then sign and exponent.
double extended_to_double(const uint8_t raw[10]) {
    static_assert(LDBL_MANT_DIG == 64, "the host's long double must be the x87 extended format");
    long double v = 0;
    std::memcpy(&v, raw, 10);
    return double(v);
}

const char* fault_kind(int type) {
    switch (type) {
    case UC_MEM_READ_UNMAPPED: return "read of unmapped memory";
    case UC_MEM_WRITE_UNMAPPED: return "write to unmapped memory";
    case UC_MEM_FETCH_UNMAPPED: return "execution of unmapped memory";
    case UC_MEM_READ_PROT: return "read of protected memory";
    case UC_MEM_WRITE_PROT: return "write to read-only memory";
    case UC_MEM_FETCH_PROT: return "execution of non-executable memory";
    default: return "invalid memory access";
    }
}

std::string perms_text(uint32_t p) {
    std::string s = "---";
    if (p & kProtRead) s[0] = 'r';
    if (p & kProtWrite) s[1] = 'w';
    if (p & kProtExec) s[2] = 'x';
    return s;
}

}  // namespace

uint32_t TrapCall::arg(int index) const { return machine.read_u32(args_address + 4u * uint32_t(index)); }

Machine::Machine() {
    check(uc_open(UC_ARCH_X86, UC_MODE_32, &uc_), "cannot start the x86 emulator");
    // The module computes in SSE2: pick a processor that has it and enable it in CR0/CR4.
    check(uc_ctl_set_cpu_model(uc_, UC_CPU_X86_CORE2DUO), "cannot select an SSE2 processor model");
    uint64_t cr0 = 0, cr4 = 0;
    check(uc_reg_read(uc_, UC_X86_REG_CR0, &cr0), "read CR0");
    cr0 = (cr0 & ~uint64_t(1u << 2)) | (1u << 1);  // clear EM, set MP
    check(uc_reg_write(uc_, UC_X86_REG_CR0, &cr0), "write CR0");
    check(uc_reg_read(uc_, UC_X86_REG_CR4, &cr4), "read CR4");
    cr4 |= (1u << 9) | (1u << 10);  // OSFXSR, OSXMMEXCPT
    check(uc_reg_write(uc_, UC_X86_REG_CR4, &cr4), "write CR4");

    uc_hook h;
    check(uc_hook_add(uc_, &h, UC_HOOK_INTR, reinterpret_cast<void*>(hook_interrupt), this, 1, 0), "interrupt hook");
    check(uc_hook_add(uc_, &h, UC_HOOK_CODE, reinterpret_cast<void*>(hook_code), this, 1, 0), "code hook");
    check(uc_hook_add(uc_, &h, UC_HOOK_MEM_INVALID, reinterpret_cast<void*>(hook_invalid), this, 1, 0),
          "memory fault hook");

    map(kHeapBase, kHeapSize, kProtRead | kProtWrite, "host heap");
    map(kStackBase, kStackSize, kProtRead | kProtWrite, "stack");
    map(kSentinelBase, kSentinelSize, kProtRead | kProtExec, "sentinel: return address and traps");
    // Anything not a trap in the sentinel page is int3 too, so a stray jump there is caught.
    std::vector<uint8_t> fill(kSentinelSize, kInt3);
    write(kSentinelBase, fill);
}

Machine::~Machine() {
    if (uc_) uc_close(uc_);
}

void Machine::map(uint32_t base, uint32_t size, uint32_t perms, std::string label) {
    uint32_t start = page_floor(base);
    uint64_t end = page_ceil(uint64_t(base) + size);
    if (end > 0x100000000ull) throw Error("cannot map " + label + " at " + hex(base) + ": beyond 4 GiB");
    for (const Region& r : regions_)
        if (start < uint64_t(r.base) + r.size && r.base < end)
            throw Error("cannot map " + label + " at " + hex(start) + "-" + hex(end) + ": overlaps " + r.label +
                        " at " + hex(r.base) + "-" + hex(uint64_t(r.base) + r.size));
    check(uc_mem_map(uc_, start, end - start, perms), "cannot map " + label + " at " + hex(start));
    regions_.push_back({start, uint32_t(end - start), perms, std::move(label)});
    std::sort(regions_.begin(), regions_.end(), [](const Region& a, const Region& b) { return a.base < b.base; });
}

std::string Machine::describe_map() const {
    std::string out;
    for (const Region& r : regions_) {
        out += hex(r.base) + "-" + hex(uint64_t(r.base) + r.size) + " " + perms_text(r.perms) + " " + r.label + "\n";
        if (r.base == kHeapBase)
            for (const Region& b : heap_blocks_)
                out += "  " + hex(b.base) + " +" + std::to_string(b.size) + " " + b.label + "\n";
    }
    return out;
}

const Region* Machine::region_of(uint32_t address) const {
    for (const Region& r : regions_)
        if (address >= r.base && address - r.base < r.size) return &r;
    return nullptr;
}

void Machine::write(uint32_t address, std::span<const uint8_t> bytes) {
    if (uc_mem_write(uc_, address, bytes.data(), bytes.size()) != UC_ERR_OK)
        throw Error("write of " + std::to_string(bytes.size()) + " bytes at " + hex(address) + ": memory not mapped");
}

std::vector<uint8_t> Machine::read(uint32_t address, uint32_t count) const {
    std::vector<uint8_t> out(count);
    if (count && uc_mem_read(uc_, address, out.data(), count) != UC_ERR_OK)
        throw Error("read of " + std::to_string(count) + " bytes at " + hex(address) + ": memory not mapped");
    return out;
}

uint32_t Machine::read_u32(uint32_t address) const {
    auto b = read(address, 4);
    return ByteReader(b, "memory").u32(0, "word");
}

double Machine::read_f64(uint32_t address) const {
    auto b = read(address, 8);
    return ByteReader(b, "memory").f64(0, "double");
}

float Machine::read_f32(uint32_t address) const {
    auto b = read(address, 4);
    return ByteReader(b, "memory").f32(0, "float");
}

void Machine::write_u32(uint32_t address, uint32_t value) {
    uint8_t b[4];
    put_u32(b, value);
    write(address, b);
}

void Machine::write_f64(uint32_t address, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    uint8_t b[8];
    put_u32(b, uint32_t(bits));
    put_u32(b + 4, uint32_t(bits >> 32));
    write(address, b);
}

std::string Machine::read_cstr(uint32_t address, size_t max_len) const {
    std::string s;
    for (size_t i = 0; i <= max_len; ++i) {
        uint8_t c;
        if (uc_mem_read(uc_, uint64_t(address) + i, &c, 1) != UC_ERR_OK)
            throw Error("string at " + hex(address) + " runs into unmapped memory at " + hex(uint64_t(address) + i));
        if (c == 0) return s;
        s.push_back(char(c));
    }
    throw Error("string at " + hex(address) + " is not terminated within " + std::to_string(max_len) + " bytes");
}

uint32_t Machine::alloc(uint32_t size, const std::string& label) {
    uint32_t rounded = (size + 7) & ~7u;
    if (rounded < size || rounded > kHeapBase + kHeapSize - heap_next_)
        throw Error("host heap exhausted allocating " + std::to_string(size) + " bytes for " + label);
    uint32_t at = heap_next_;
    heap_next_ += rounded;
    heap_blocks_.push_back({at, size, kProtRead | kProtWrite, label});
    return at;
}

uint32_t Machine::add_trap(const std::string& name, int arg_count, Convention conv, TrapHandler handler) {
    if (next_trap_ + kTrapSlot > kSentinelBase + kSentinelSize) throw Error("sentinel page full: no room for trap " + name);
    if (arg_count < 0 || arg_count > 64) throw Error("trap " + name + ": bad argument count");
    uint32_t at = next_trap_;
    next_trap_ += kTrapSlot;
    uint8_t code[kTrapSlot] = {kInt3, kInt3, kInt3, kInt3, kInt3, kInt3, kInt3, kInt3};
    if (conv == Convention::Stdcall && arg_count > 0) {
        uint16_t pop = uint16_t(arg_count * 4);
        code[1] = 0xC2;  // ret imm16
        code[2] = uint8_t(pop);
        code[3] = uint8_t(pop >> 8);
    } else {
        code[1] = 0xC3;  // ret
    }
    write(at, code);
    traps_[at] = Trap{name, arg_count, conv, std::move(handler)};
    return at;
}

void Machine::on_interrupt(uint32_t number) {
    uint32_t eip = 0, esp = 0;
    uc_reg_read(uc_, UC_X86_REG_EIP, &eip);
    uc_reg_read(uc_, UC_X86_REG_ESP, &esp);
    auto it = traps_.find(eip - 1);
    if (number != 3 || it == traps_.end()) {
        const Region* r = region_of(eip - 1);
        if (number != 3)
            pending_error_ = "raised interrupt " + std::to_string(number) + " at " + hex(eip);
        else if (r && r->base == kSentinelBase)
            pending_error_ = "reached " + hex(eip - 1) + " in the host's sentinel page, which is no entry";
        else
            pending_error_ = "hit a breakpoint (int3) at " + hex(eip - 1);
        uc_emu_stop(uc_);
        return;
    }
    try {
        TrapCall call{*this, esp + 4};
        uint32_t result = it->second.handler(call);
        uc_reg_write(uc_, UC_X86_REG_EAX, &result);
    } catch (const std::exception& e) {
        pending_error_ = e.what();
        uc_emu_stop(uc_);
    }
}

void Machine::on_code() {
    if (++executed_ > budget_ && pending_error_.empty()) {
        pending_error_ = "ran past its budget of " + std::to_string(budget_) + " instructions (endless loop?)";
        uc_emu_stop(uc_);
    }
}

void Machine::on_invalid_memory(int type, uint64_t address, int size) {
    uint32_t eip = 0;
    uc_reg_read(uc_, UC_X86_REG_EIP, &eip);
    fault_ = std::string(fault_kind(type)) + " at " + hex(address) + " (" + std::to_string(size) +
             " bytes) by the instruction at " + hex(eip);
}

CallResult Machine::call(uint32_t function, std::span<const uint32_t> args, Convention conv, Returns returns,
                         const std::string& name) {
    const std::string who = "call of " + name + " at " + hex(function);
    // The emulator cannot be re-entered from inside a trap handler.
    if (in_call_) throw Error(who + ": a host service cannot call back into the module");
    struct InCall {
        bool& flag;
        explicit InCall(bool& f) : flag(f) { flag = true; }
        ~InCall() { flag = false; }
    } in_call(in_call_);
    const uint32_t top = kStackBase + kStackSize - 0x100;
    const uint32_t arg_bytes = uint32_t(args.size()) * 4;
    uint32_t sp = top - arg_bytes;
    for (size_t i = 0; i < args.size(); ++i) write_u32(sp + uint32_t(i) * 4, args[i]);
    sp -= 4;
    write_u32(sp, return_address());

    uint32_t eax = 0, ecx = 0, edx = 0, eflags = 0x202;
    uint32_t ebx = kCanaryEbx, esi = kCanaryEsi, edi = kCanaryEdi, ebp = kCanaryEbp;
    uint16_t fpcw = kFpuControl, fpsw = 0, fptag = 0xFFFF;
    uint32_t mxcsr = kMxcsr;
    uc_reg_write(uc_, UC_X86_REG_ESP, &sp);
    uc_reg_write(uc_, UC_X86_REG_EAX, &eax);
    uc_reg_write(uc_, UC_X86_REG_ECX, &ecx);
    uc_reg_write(uc_, UC_X86_REG_EDX, &edx);
    uc_reg_write(uc_, UC_X86_REG_EBX, &ebx);
    uc_reg_write(uc_, UC_X86_REG_ESI, &esi);
    uc_reg_write(uc_, UC_X86_REG_EDI, &edi);
    uc_reg_write(uc_, UC_X86_REG_EBP, &ebp);
    uc_reg_write(uc_, UC_X86_REG_EFLAGS, &eflags);
    uc_reg_write(uc_, UC_X86_REG_FPCW, &fpcw);
    uc_reg_write(uc_, UC_X86_REG_FPSW, &fpsw);
    uc_reg_write(uc_, UC_X86_REG_FPTAG, &fptag);
    uc_reg_write(uc_, UC_X86_REG_MXCSR, &mxcsr);

    executed_ = 0;
    pending_error_.clear();
    fault_.clear();
    uc_err err = uc_emu_start(uc_, function, return_address(), 0, 0);

    uint32_t eip = 0;
    uc_reg_read(uc_, UC_X86_REG_EIP, &eip);
    if (!fault_.empty()) throw Error(who + ": " + fault_);
    if (!pending_error_.empty()) throw Error(who + ": " + pending_error_);
    if (err != UC_ERR_OK) throw Error(who + ": the processor stopped at " + hex(eip) + ": " + uc_strerror(err));
    if (eip != return_address()) throw Error(who + ": stopped at " + hex(eip) + " without returning");

    CallResult result;
    result.instructions = executed_;
    uint32_t esp_after = 0;
    uc_reg_read(uc_, UC_X86_REG_ESP, &esp_after);
    uint32_t expected = conv == Convention::Stdcall ? top : top - arg_bytes;
    if (esp_after != expected) {
        int64_t off = int64_t(esp_after) - int64_t(expected);
        throw Error(who + ": stack unbalanced on return: ESP is " + (off > 0 ? "+" : "") + std::to_string(off) +
                    " bytes from where a " + (conv == Convention::Stdcall ? "stdcall" : "cdecl") + " function of " +
                    std::to_string(args.size()) + " arguments leaves it");
    }
    struct Saved {
        int reg;
        const char* name;
        uint32_t expected;
    };
    for (Saved s : {Saved{UC_X86_REG_EBX, "EBX", kCanaryEbx}, Saved{UC_X86_REG_ESI, "ESI", kCanaryEsi},
                    Saved{UC_X86_REG_EDI, "EDI", kCanaryEdi}, Saved{UC_X86_REG_EBP, "EBP", kCanaryEbp}}) {
        uint32_t v = 0;
        uc_reg_read(uc_, s.reg, &v);
        if (v != s.expected)
            throw Error(who + ": callee-saved register " + s.name + " not preserved (" + hex(s.expected) + " became " +
                        hex(v) + ")");
    }
    uint32_t flags_after = 0;
    uc_reg_read(uc_, UC_X86_REG_EFLAGS, &flags_after);
    if (flags_after & (1u << 10)) throw Error(who + ": direction flag left set on return");
    uint16_t cw_after = 0, sw_after = 0;
    uc_reg_read(uc_, UC_X86_REG_FPCW, &cw_after);
    uc_reg_read(uc_, UC_X86_REG_FPSW, &sw_after);
    if (cw_after != kFpuControl)
        throw Error(who + ": x87 control word changed from " + hex(kFpuControl) + " to " + hex(cw_after));
    unsigned stack_top = (sw_after >> 11) & 7;
    unsigned pushed = (8 - stack_top) & 7;
    unsigned wanted = returns == Returns::Double ? 1 : 0;
    if (pushed != wanted)
        throw Error(who + ": x87 stack holds " + std::to_string(pushed) + " values on return, expected " +
                    std::to_string(wanted) + (wanted ? " (the double result in ST0)" : ""));
    uc_reg_read(uc_, UC_X86_REG_EAX, &result.eax);
    if (returns == Returns::Double) {
        uint8_t raw[16] = {};
        check(uc_reg_read(uc_, UC_X86_REG_ST0, raw), who + ": read ST0");
        result.value = extended_to_double(raw);
    }
    return result;
}

}  // namespace gaugehost

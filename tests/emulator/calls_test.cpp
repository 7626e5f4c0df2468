// Call machinery: each way a called function can misbehave gives its own error, and
// the machine stays usable afterwards.
#include <functional>

#include "loader.h"
#include "support.h"

using namespace gaugehost;

namespace {

struct Misbehaviour {
    const char* function;
    std::vector<uint32_t> args;
    Returns returns;
    const char* expected;
};

const Misbehaviour kMisbehaviours[] = {
    {"Unbalanced", {7}, Returns::Int, "stack unbalanced on return: ESP is +4 bytes from where a stdcall function of 1 arguments"},
    {"Fault", {}, Returns::Int, "read of unmapped memory at 0x0 (4 bytes)"},
    {"WriteConst", {}, Returns::Nothing, "write to read-only memory at"},
    {"Forever", {}, Returns::Int, "ran past its budget of 5000 instructions"},
    {"ClobberEbx", {}, Returns::Int, "callee-saved register EBX not preserved (0xB1B1B1B1 became 0x7)"},
    {"TwoOnFpuStack", {}, Returns::Double, "x87 stack holds 2 values on return, expected 1"},
    {"LeavesFpuValue", {}, Returns::Int, "x87 stack holds 1 values on return, expected 0"},
    {"Add", {1, 2}, Returns::Double, "x87 stack holds 0 values on return, expected 1"},
    {"ChangesControlWord", {}, Returns::Nothing, "x87 control word changed from 0x27F to 0x37F"},
    {"Breakpoint", {}, Returns::Nothing, "hit a breakpoint (int3) at"},
    {"LeavesDirectionSet", {}, Returns::Nothing, "direction flag left set on return"},
};

class BadCall : public testing::TestWithParam<Misbehaviour> {};

TEST_P(BadCall, IsCaughtAndNamed) {
    LoadedModule m(fixtures::low, LoadOptions{std::nullopt, 5000});
    const Misbehaviour& c = GetParam();
    uint32_t fn = m.export_address(c.function);
    try {
        m.machine().call(fn, c.args, Convention::Stdcall, c.returns, c.function);
        FAIL() << "no error";
    } catch (const Error& e) {
        std::string what = e.what();
        EXPECT_NE(what.find(std::string("call of ") + c.function + " at " + hex(fn)), std::string::npos) << what;
        EXPECT_NE(what.find(c.expected), std::string::npos) << what;
    }
    // The machine is fine for the next call.
    std::vector<uint32_t> args = {20, 22};
    EXPECT_EQ(m.machine().call(m.export_address("Add"), args, Convention::Stdcall, Returns::Int, "Add").eax, 42u);
}

INSTANTIATE_TEST_SUITE_P(Fixture, BadCall, testing::ValuesIn(kMisbehaviours),
                         [](const auto& info) { return std::string(info.param.function); });

struct BadTarget {
    const char* name;
    std::function<uint32_t(LoadedModule&)> target;
    const char* expected;
};

class CallToNonCode : public testing::TestWithParam<BadTarget> {};

TEST_P(CallToNonCode, IsAFaultNotACrash) {
    LoadedModule m(fixtures::low);
    uint32_t target = GetParam().target(m);
    try {
        m.machine().call(target, {}, Convention::Stdcall, Returns::Int, GetParam().name);
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().expected), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CallToNonCode,
    testing::Values(BadTarget{"Unmapped", [](LoadedModule&) { return 0x00001000u; },
                              "execution of unmapped memory at 0x1000"},
                    BadTarget{"ReadOnlyData", [](LoadedModule& m) { return m.export_address("Record"); },
                              "execution of non-executable memory"},
                    BadTarget{"StackData", [](LoadedModule&) { return kStackBase + 0x100; },
                              "execution of non-executable memory"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Calls, WsprintfAIntoReadOnlyMemoryIsRefused) {
    LoadedModule m(fixtures::low);
    std::vector<uint32_t> args = {m.export_address("Record"), 1};
    try {
        m.machine().call(m.export_address("Format"), args, Convention::Stdcall, Returns::Int, "Format");
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("wsprintfA: output buffer at " + hex(args[0]) + " is not writable memory"),
                  std::string::npos)
            << e.what();
    }
}

TEST(Calls, CdeclCallerCleansTheArguments) {
    LoadedModule m(fixtures::low);
    // Add pops its two arguments itself: called as cdecl, the stack check notices.
    std::vector<uint32_t> args = {1, 2};
    EXPECT_THROW(m.machine().call(m.export_address("Add"), args, Convention::Cdecl, Returns::Int, "Add"), Error);
}

TEST(Calls, TrapsAnswerWithTheirHandlerAndPopStdcallArguments) {
    LoadedModule m(fixtures::low);
    Machine& cpu = m.machine();
    std::vector<uint32_t> seen;
    uint32_t trap = cpu.add_trap("test trap", 2, Convention::Stdcall, [&](TrapCall& c) {
        seen = {c.arg(0), c.arg(1)};
        return 77u;
    });
    std::vector<uint32_t> args = {5, 6};
    auto r = cpu.call(trap, args, Convention::Stdcall, Returns::Int, "test trap");
    EXPECT_EQ(r.eax, 77u);
    EXPECT_EQ(seen, (std::vector<uint32_t>{5, 6}));
}

TEST(Calls, AnErrorInATrapHandlerStopsTheCallWithItsMessage) {
    LoadedModule m(fixtures::low);
    Machine& cpu = m.machine();
    uint32_t trap = cpu.add_trap("failing trap", 0, Convention::Stdcall,
                                 [](TrapCall&) -> uint32_t { throw Error("the handler refused"); });
    try {
        cpu.call(trap, {}, Convention::Stdcall, Returns::Int, "failing trap");
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("the handler refused"), std::string::npos) << e.what();
    }
}

TEST(Calls, AJumpIntoTheSentinelPageThatIsNoTrapIsCaught) {
    LoadedModule m(fixtures::low);
    try {
        m.machine().call(kSentinelBase + 0x800, {}, Convention::Stdcall, Returns::Int, "stray");
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("in the host's sentinel page, which is no entry"), std::string::npos)
            << e.what();
    }
}

}  // namespace

namespace {

TEST(Calls, ATrapHandlerCannotCallBackIntoTheModule) {
    LoadedModule m(fixtures::low);
    Machine& cpu = m.machine();
    uint32_t add = m.export_address("Add");
    uint32_t trap = cpu.add_trap("reentering trap", 0, Convention::Stdcall, [&](TrapCall& c) {
        std::vector<uint32_t> args = {1, 2};
        return c.machine.call(add, args, Convention::Stdcall, Returns::Int, "Add").eax;
    });
    try {
        cpu.call(trap, {}, Convention::Stdcall, Returns::Int, "reentering trap");
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("a host service cannot call back into the module"), std::string::npos)
            << e.what();
    }
    std::vector<uint32_t> args = {1, 2};
    EXPECT_EQ(cpu.call(add, args, Convention::Stdcall, Returns::Int, "Add").eax, 3u);
}

}  // namespace

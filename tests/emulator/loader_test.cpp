// Loader: the test DLL at its preferred base and moved elsewhere, with several section
// alignments; pointers in its data and code must be right wherever it lands.
#include "loader.h"
#include "support.h"

using namespace gaugehost;

namespace {

struct Placement {
    const char* name;
    std::string file;
    std::optional<uint32_t> base;
};

const Placement kPlacements[] = {
    {"LowAtPreferred", fixtures::low, std::nullopt},
    {"LowMovedUp", fixtures::low, 0x45670000},
    {"HighAtPreferred", fixtures::high, std::nullopt},
    {"HighMovedDown", fixtures::high, 0x01000000},
    {"WideAlignmentMoved", fixtures::wide, 0x33330000},
    {"PackedSectionsMoved", fixtures::packed, 0x12340000},
};

class Placed : public testing::TestWithParam<Placement> {
protected:
    LoadedModule load() { return LoadedModule(GetParam().file, LoadOptions{GetParam().base}); }
};

uint32_t call(LoadedModule& m, const char* name, std::vector<uint32_t> args, Returns r = Returns::Int) {
    return m.machine().call(m.export_address(name), args, Convention::Stdcall, r, name).eax;
}

TEST_P(Placed, DataPointersPointAtWhatTheyName) {
    LoadedModule m = load();
    uint32_t base = GetParam().base.value_or(m.pe().preferred_base);
    EXPECT_EQ(m.base(), base);
    uint32_t record = m.export_address("Record");
    Machine& cpu = m.machine();
    EXPECT_EQ(cpu.read_u32(record), 0x4B454C21u);
    EXPECT_EQ(cpu.read_cstr(cpu.read_u32(record + 4), 64), "fixture record");
    EXPECT_EQ(cpu.read_u32(record + 8), m.export_address("Add"));
    EXPECT_EQ(cpu.read_u32(record + 12), record);
    EXPECT_EQ(cpu.read_f64(record + 16), 2.5);
}

TEST_P(Placed, CodeRunsThroughRelocatedPointersAndImports) {
    LoadedModule m = load();
    EXPECT_EQ(call(m, "AddThroughRecord", {40, 2}), 42u);

    uint32_t value = m.machine().alloc(8, "test double");
    m.machine().write_f64(value, 3.25);
    auto r = m.machine().call(m.export_address("Scaled"), std::vector<uint32_t>{value}, Convention::Stdcall,
                              Returns::Double, "Scaled");
    EXPECT_EQ(r.value, 8.125);
    EXPECT_GT(r.instructions, 0u);

    uint32_t buffer = m.machine().alloc(64, "test text");
    EXPECT_EQ(call(m, "Format", {buffer, 42}), 22u);
    EXPECT_EQ(m.machine().read_cstr(buffer, 64), "v=00042|fixture record");
}

TEST_P(Placed, EntryPointSeesEachReason) {
    LoadedModule m = load();
    uint32_t last = m.export_address("LastReason"), count = m.export_address("AttachCount");
    struct Step {
        EntryReason reason;
        uint32_t last_reason, attach_count;
    };
    for (Step s : {Step{EntryReason::ProcessAttach, 1, 1}, Step{EntryReason::ThreadAttach, 2, 1},
                   Step{EntryReason::ThreadDetach, 3, 1}, Step{EntryReason::ProcessDetach, 0, 1}}) {
        EXPECT_EQ(m.call_entry(s.reason).eax, 1u);
        EXPECT_EQ(m.machine().read_u32(last), s.last_reason);
        EXPECT_EQ(m.machine().read_u32(count), s.attach_count);
    }
}

TEST_P(Placed, ImportSlotHoldsTheHostTrap) {
    LoadedModule m = load();
    ASSERT_EQ(m.bindings().size(), 1u);
    const auto& [imp, trap] = m.bindings()[0];
    EXPECT_EQ(m.machine().read_u32(m.base() + imp.iat_rva), trap);
    const Region* r = m.machine().region_of(trap);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->base, kSentinelBase);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, Placed, testing::ValuesIn(kPlacements),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoaderMemory, SectionsGetTheirProtectionAndLabels) {
    LoadedModule m(fixtures::low);
    const Machine& cpu = m.machine();
    auto region = [&](uint32_t rva) { return cpu.region_of(m.base() + rva); };
    for (const Section& s : m.pe().sections) {
        const Region* r = region(s.rva);
        ASSERT_NE(r, nullptr) << s.name;
        EXPECT_NE(r->label.find(s.name), std::string::npos) << r->label;
        EXPECT_EQ(bool(r->perms & kProtWrite), s.writable()) << s.name;
        EXPECT_EQ(bool(r->perms & kProtExec), s.executable()) << s.name;
    }
    EXPECT_EQ(cpu.region_of(0), nullptr) << "the null page stays unmapped";
    std::string map = cpu.describe_map();
    for (const char* label : {"fixture_low.dll headers", "host heap", "stack", "sentinel"})
        EXPECT_NE(map.find(label), std::string::npos) << map;
}

TEST(LoaderMemory, SectionsSharingAPageGetTheUnionOfTheirAccess) {
    LoadedModule m(fixtures::packed);
    const Region* r = m.machine().region_of(m.base());
    ASSERT_NE(r, nullptr);
    EXPECT_NE(r->label.find("headers+.text"), std::string::npos) << r->label;
    EXPECT_EQ(r->perms, kProtRead | kProtWrite | kProtExec);
}

struct BadLoad {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> mutate;
    std::optional<uint32_t> base;
    const char* expected;
};

const BadLoad kBadLoads[] = {
    {"UnknownImport", [](auto& b) { fixtures::replace_text(b, "wsprintfA", "wsprintfW"); }, std::nullopt,
     "unknown import USER32.dll!wsprintfW (gaugehost provides USER32.dll!wsprintfA)"},
    {"UnknownImportDll", [](auto& b) { fixtures::replace_text(b, "USER32.dll", "GDI032.dll"); }, std::nullopt,
     "unknown import GDI032.dll!wsprintfA"},
    {"UnalignedBase", [](auto&) {}, 0x20001000, "the base must be a non-zero multiple of 0x10000"},
    {"BaseOverHostStack", [](auto&) {}, 0x7FE00000, "overlaps stack"},
    {"ZeroBase", [](auto&) {}, 0, "the base must be a non-zero multiple of 0x10000"},
};

class BadLoadCase : public testing::TestWithParam<BadLoad> {};

TEST_P(BadLoadCase, IsRefusedWithItsOwnError) {
    auto bytes = fixtures::bytes_of(fixtures::low);
    GetParam().mutate(bytes);
    std::string path = fixtures::write_temp(bytes, std::string(GetParam().name) + ".dll");
    try {
        LoadedModule m(path, LoadOptions{GetParam().base});
        FAIL() << "loaded";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().expected), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BadLoadCase, testing::ValuesIn(kBadLoads),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoaderFile, MissingFileIsAnError) {
    EXPECT_THROW(LoadedModule("/nonexistent/KEL.gau"), Error);
}

}  // namespace

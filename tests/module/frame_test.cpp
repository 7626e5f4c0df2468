// The module frame as the host meets it: exports, the import table, the linkage record,
// the seventeen gauge headers, the shared routines, every mouse list and the airspeed
// gauge — all read from the real KEL.gau by byte offset.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <set>

#include "gaugehost.h"
#include "test_support.h"

using namespace gaugehost;

namespace {

constexpr const char* kGaugeNames[17] = {
    "AIRSPEED", "ALTIMETER", "KOHLSMAN", "RADALT", "COMPASS", "HEADINGBUG", "VSI", "ADF", "DEVIATION",
    "ARTHORIZON", "ATTITUDE", "OBS", "RPM", "TORQUE", "FUELFLOW", "TIT", "Clock"};

// All bytes of the module's writable data, to prove that a call changed nothing.
std::vector<uint8_t> WritableData(Host& host) {
    std::vector<uint8_t> all;
    for (const Section& s : host.module().pe().sections) {
        if (!s.writable() || s.name == ".idata") continue;
        auto bytes = host.read(host.module().base() + s.rva, s.virtual_size);
        all.insert(all.end(), bytes.begin(), bytes.end());
    }
    return all;
}

bool InWritableSection(Host& host, uint32_t address, uint32_t size) {
    for (const Section& s : host.module().pe().sections) {
        uint32_t start = host.module().base() + s.rva;
        if (address >= start && address + size <= start + s.virtual_size) return s.writable();
    }
    return false;
}

}  // namespace

TEST(ModuleFrame, ExportsTwoDataRecordsAndImportsOnlyWsprintfA) {
    const PeImage pe = read_pe_file(KEL_GAU_PATH);
    EXPECT_EQ(pe.export_dll_name, "KEL.gau");
    ASSERT_EQ(pe.exports.size(), 2u);
    ASSERT_NE(pe.find_export("ImportTable"), nullptr);
    ASSERT_NE(pe.find_export("Linkage"), nullptr);
    EXPECT_EQ(pe.find_export("ImportTable")->ordinal, 1u);
    EXPECT_EQ(pe.find_export("Linkage")->ordinal, 2u);
    ASSERT_EQ(pe.imports.size(), 1u);
    EXPECT_EQ(pe.imports[0].full_name(), "USER32.dll!wsprintfA");
}

TEST(ModuleFrame, LoadAndUnloadWithoutUsingAGaugeCallsNoService) {
    Host host(KEL_GAU_PATH);
    host.shutdown();
    EXPECT_TRUE(host.service_calls().empty());
    EXPECT_TRUE(host.key_events().empty());
}

TEST(ModuleFrame, EntryPointSucceedsForEveryReasonAndChangesNothing) {
    Host host(KEL_GAU_PATH);
    const auto before = WritableData(host);
    for (EntryReason reason : {EntryReason::ThreadAttach, EntryReason::ThreadDetach, EntryReason::ProcessAttach,
                               EntryReason::ProcessDetach}) {
        EXPECT_EQ(host.module().call_entry(reason).eax, 1u) << "reason " << uint32_t(reason);
    }
    EXPECT_EQ(WritableData(host), before);
    EXPECT_TRUE(host.service_calls().empty());
}

TEST(ModuleFrame, ModuleInitAndDeinitDoNothingHoweverOftenCalled) {
    Host host(KEL_GAU_PATH);
    const auto before = WritableData(host);
    const ModuleModel& m = host.model();
    for (uint32_t fn : {m.module_deinit, m.module_init, m.module_init, m.module_deinit, m.module_deinit})
        host.machine().call(fn, {}, Convention::Stdcall, Returns::Nothing, "ModuleInit/ModuleDeinit");
    EXPECT_EQ(WritableData(host), before);
    EXPECT_TRUE(host.service_calls().empty());
}

TEST(ModuleFrame, ImportTableHoldsOneRequestThenTheEnd) {
    Host host(KEL_GAU_PATH);
    const uint32_t table = host.import_table();
    EXPECT_EQ(host.read_u32(table + 0x00), 0x0Fu);
    EXPECT_EQ(host.read_u32(table + 0x04), host.services_table());  // written by the host at bind
    EXPECT_EQ(host.read_u32(table + 0x08), 0u);
    EXPECT_EQ(host.read_u32(table + 0x0C), 0u);
    EXPECT_TRUE(InWritableSection(host, table, 16));

    // As stored in the file, the services pointer is null until the host binds it.
    LoadedModule raw(KEL_GAU_PATH);
    EXPECT_EQ(raw.machine().read_u32(raw.export_address("ImportTable") + 4), 0u);
}

TEST(ModuleFrame, LinkageNamesTheSeventeenGaugesInOrder) {
    Host host(KEL_GAU_PATH);
    const uint32_t linkage = host.linkage();
    EXPECT_TRUE(InWritableSection(host, linkage, 96));
    EXPECT_EQ(host.read_u32(linkage + 0x00), 0x13u);
    EXPECT_NE(host.read_u32(linkage + 0x04), 0u);
    EXPECT_NE(host.read_u32(linkage + 0x08), 0u);
    EXPECT_EQ(host.read_u32(linkage + 0x0C), 0u);
    EXPECT_EQ(host.read_u32(linkage + 0x10), 0u);
    EXPECT_EQ(host.read_u32(linkage + 0x14), 0x900u);
    for (int slot = 0; slot < 17; ++slot) {
        uint32_t header = host.read_u32(linkage + 0x18 + 4 * slot);
        EXPECT_EQ(host.machine().read_cstr(host.read_u32(header + 4), 32), kGaugeNames[slot]) << "slot " << slot + 1;
    }
    EXPECT_EQ(host.read_u32(linkage + 0x5C), 0u);
}

TEST(ModuleFrame, EveryGaugeHeaderIsTheCommonHeaderButForNameRootAndMouseList) {
    Host host(KEL_GAU_PATH);
    const auto& gauges = host.model().gauges;
    ASSERT_EQ(gauges.size(), 17u);
    const auto& routines = gauges[0].routines;
    for (const GaugeModel& g : gauges) {
        SCOPED_TRACE(g.name);
        EXPECT_EQ(g.header % 8, 0u);
        EXPECT_TRUE(InWritableSection(host, g.header, 208));
        const auto bytes = host.read(g.header, 208);
        auto u32 = [&](size_t off) { uint32_t v; std::memcpy(&v, &bytes[off], 4); return v; };
        EXPECT_EQ(u32(0x00), 800u);
        EXPECT_EQ(u32(0x2C), 100u);
        EXPECT_EQ(g.routines, routines);  // one set of seven routines shared by all
        for (uint32_t r : g.routines) EXPECT_NE(r, 0u);
        // The root list: one element, then null.
        EXPECT_EQ(host.read_u32(g.element_list + 4), 0u);
        for (size_t off = 0; off < 208; ++off) {
            const bool authored = off < 0x28 || (off >= 0x2C && off < 0x30) || (off >= 0x50 && off < 0x54);
            if (!authored) ASSERT_EQ(bytes[off], 0) << "byte +0x" << std::hex << off;
        }
        // Names are distinct strings.
        for (const GaugeModel& other : gauges)
            if (&other != &g) EXPECT_NE(host.read_u32(other.header + 4), host.read_u32(g.header + 4));
    }
}

TEST(ModuleFrame, EveryRootIsAFullSizeBackgroundAtTheOrigin) {
    struct Root { const char* gauge; uint32_t resource; uint32_t draw_flags; };
    const Root roots[17] = {
        {"AIRSPEED", 0x1000, 1}, {"ALTIMETER", 0x1010, 1}, {"KOHLSMAN", 0x1014, 1}, {"RADALT", 0x1020, 1},
        {"COMPASS", 0x1030, 1},  {"HEADINGBUG", 0x1034, 1}, {"VSI", 0x1040, 1},     {"ADF", 0x1050, 1},
        {"DEVIATION", 0x1060, 5}, {"ARTHORIZON", 0x1070, 1}, {"ATTITUDE", 0x1080, 1}, {"OBS", 0x1069, 1},
        {"RPM", 0x1090, 1},      {"TORQUE", 0x1095, 1},     {"FUELFLOW", 0x109A, 1}, {"TIT", 0x109C, 1},
        {"Clock", 0x1100, 1},
    };
    Host host(KEL_GAU_PATH);
    for (const Root& r : roots) {
        SCOPED_TRACE(r.gauge);
        const GaugeModel& g = host.gauge(r.gauge);
        ASSERT_FALSE(g.elements.empty());
        const ElementModel& root = g.elements[0];
        EXPECT_EQ(root.address, host.read_u32(g.element_list));
        EXPECT_EQ(root.address % 8, 0u);
        EXPECT_EQ(root.kind, ElementKind::Static);
        EXPECT_EQ(root.resource_id, r.resource);
        EXPECT_EQ(root.draw_flags, r.draw_flags);
        EXPECT_EQ(root.position, (std::array<int32_t, 2>{0, 0}));
        EXPECT_EQ(root.offset, (std::array<int32_t, 2>{0, 0}));
        EXPECT_EQ(root.gauge_header, g.header);
        // Reserved words of the header, and the static image's 36 host bytes, are zero.
        for (uint32_t off : {0x10u, 0x14u, 0x24u, 0x2Cu, 0x34u, 0x38u}) EXPECT_EQ(host.read_u32(root.address + off), 0u);
        for (uint8_t b : host.read(root.address + 0x3C, 36)) ASSERT_EQ(b, 0);
    }
}

// Each routine slot, called through any gauge's header, forwards the AIRSPEED root and
// its own word to its service entry and hands back what the entry returns.
TEST(SharedRoutines, AlwaysForwardTheAirspeedRootAndPassWordsAndResultsThrough) {
    struct Slot { int slot; uint32_t entry; bool takes_word; };
    const Slot slots[7] = {{1, 24, false}, {2, 25, true}, {3, 26, false}, {4, 27, false},
                           {5, 28, true},  {6, 29, false}, {7, 31, false}};
    Host host(KEL_GAU_PATH);
    const uint32_t airspeed_root = host.gauge("AIRSPEED").elements[0].address;
    for (const char* gauge : kGaugeNames) {
        for (const Slot& s : slots) {
            for (uint32_t word : {0u, 0xFFFFFFFFu, 0x12345678u}) {
                for (uint32_t result : {0u, 0xFFFFFFFFu, 0x80000001u}) {
                    SCOPED_TRACE(std::string(gauge) + " slot " + std::to_string(s.slot));
                    host.clear_logs();
                    host.set_service_result(result);
                    EXPECT_EQ(host.call_routine(gauge, s.slot, word), result);
                    ASSERT_EQ(host.service_calls().size(), 1u);
                    const ServiceCall& call = host.service_calls()[0];
                    EXPECT_EQ(call.entry, s.entry);
                    std::vector<uint32_t> expected{airspeed_root};
                    if (s.takes_word) expected.push_back(word);
                    EXPECT_EQ(call.args, expected);
                }
            }
        }
    }
}

TEST(SharedRoutines, ReadTheSlotOneHeaderAfreshAtEveryCall) {
    Host host(KEL_GAU_PATH);
    // Point slot 1 of the gauge table at the Clock header: the routines follow it.
    const uint32_t slot1 = host.linkage() + 0x18;
    const uint32_t airspeed = host.read_u32(slot1);
    host.machine().write_u32(slot1, host.gauge("Clock").header);
    host.call_routine("AIRSPEED", 6);
    host.machine().write_u32(slot1, airspeed);
    host.call_routine("AIRSPEED", 6);
    ASSERT_EQ(host.service_calls().size(), 2u);
    EXPECT_EQ(host.service_calls()[0].args[0], host.gauge("Clock").elements[0].address);
    EXPECT_EQ(host.service_calls()[1].args[0], host.gauge("AIRSPEED").elements[0].address);
}

// Every gauge's mouse list, entry by entry. Rows: type, box, cursor, help, flags, event,
// whether a mouse function is named.
namespace {
struct Rect {
    uint32_t type;
    std::array<int32_t, 4> box;
    int32_t cursor;
    uint32_t help, flags, event;
    bool function;
};
std::vector<Rect> HelpOnly(uint32_t help) {
    return {{1, {0, 0, 0, 0}, -1, help, 0, 0, false},
            {1, {0, 0, 38, 18}, -1, help, 0, 0, false},
            {3, {0, 0, 0, 0}, -1, 0, 0, 0, false},
            {3, {0, 0, 0, 0}, -1, 0, 0, 0, false},
            {0, {0, 0, 0, 0}, -1, 0, 0, 0, false}};
}
std::vector<Rect> WithChildren(uint32_t help, std::vector<Rect> children) {
    std::vector<Rect> list = {{1, {0, 0, 0, 0}, -1, help, 0, 0, false},
                              {1, {0, 0, 38, 18}, -1, help, 0, 0, false},
                              {3, {0, 0, 0, 0}, -1, 0, 0, 0, false}};
    list.insert(list.end(), children.begin(), children.end());
    list.push_back({3, {0, 0, 0, 0}, -1, 0, 0, 0, false});
    list.push_back({0, {0, 0, 0, 0}, -1, 0, 0, 0, false});
    return list;
}
Rect Knob(std::array<int32_t, 4> box, int32_t cursor, uint32_t event) {
    return {2, box, cursor, 0, 0x20200000, event, false};
}
Rect Button(std::array<int32_t, 4> box) { return {2, box, 5, 0, 0x20000000, 0, true}; }
}  // namespace

TEST(MouseLists, EveryGaugeCarriesItsListEntryByEntry) {
    const std::map<std::string, std::vector<Rect>> lists = {
        {"AIRSPEED", HelpOnly(0xAB02)},
        {"ALTIMETER", HelpOnly(0xAB07)},
        {"KOHLSMAN", WithChildren(0xAB3A, {Knob({0, 0, 22, 45}, 2, 0x1015C), Knob({23, 0, 22, 45}, 1, 0x1015B)})},
        {"RADALT", HelpOnly(0xAA14)},
        {"COMPASS", HelpOnly(0xAB34)},
        {"HEADINGBUG", WithChildren(0xAB34, {Knob({0, 0, 22, 45}, 2, 0x10158), Knob({23, 0, 22, 45}, 1, 0x10157)})},
        {"VSI", HelpOnly(0xAB76)},
        {"ADF", HelpOnly(0xA718)},
        {"DEVIATION",
         {{1, {0, 0, 0, 0}, -1, 0xAB73, 0, 0, false},
          {1, {0, 0, 100, 80}, -1, 0xAB73, 0, 0, false},
          {3, {0, 0, 0, 0}, -1, 0, 0, 0, false},
          {1, {82, 72, 30, 30}, -1, 0xAB73, 0, 0, false},
          {3, {0, 0, 0, 0}, -1, 0, 0, 0, false},
          {3, {0, 0, 0, 0}, -1, 0, 0, 0, false},
          {0, {0, 0, 0, 0}, -1, 0, 0, 0, false}}},
        {"ARTHORIZON", HelpOnly(0xAB0D)},
        {"ATTITUDE", HelpOnly(0xAB0D)},
        {"OBS", WithChildren(0xAB38, {Knob({152, 0, 23, 50}, 2, 0x1007E), Knob({177, 0, 23, 50}, 1, 0x1007F),
                                      Button({0, 0, 50, 50})})},
        {"RPM", HelpOnly(0xAB58)},
        {"TORQUE", HelpOnly(0xAB70)},
        {"FUELFLOW", HelpOnly(0xAA26)},
        {"TIT", HelpOnly(0xAB6F)},
        {"Clock", WithChildren(0xAB16, {Button({304, 12, 90, 90}), Button({28, 300, 75, 75})})},
    };
    Host host(KEL_GAU_PATH);
    std::set<uint32_t> list_addresses;
    for (const GaugeModel& g : host.model().gauges) {
        SCOPED_TRACE(g.name);
        const auto& expected = lists.at(g.name);
        ASSERT_EQ(g.mouse.size(), expected.size());
        EXPECT_TRUE(list_addresses.insert(g.mouse_rects).second) << "lists are separate records";
        EXPECT_TRUE(InWritableSection(host, g.mouse_rects, uint32_t(44 * expected.size())));
        for (size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE("entry " + std::to_string(i + 1));
            const MouseRectModel& got = g.mouse[i];
            EXPECT_EQ(got.rect_type, expected[i].type);
            EXPECT_EQ(got.box, expected[i].box);
            EXPECT_EQ(got.cursor, expected[i].cursor);
            EXPECT_EQ(got.help_id, expected[i].help);
            EXPECT_EQ(got.mouse_flags, expected[i].flags);
            EXPECT_EQ(got.event_id, expected[i].event);
            EXPECT_EQ(got.mouse_function != 0, expected[i].function);
            EXPECT_EQ(host.read_u32(got.address + 0x28), 0u);
        }
    }
}

TEST(Airspeed, NeedleRecordAndEighteenPointTableAsAuthored) {
    Host host(KEL_GAU_PATH);
    const GaugeModel& g = host.gauge("AIRSPEED");
    ASSERT_EQ(g.elements.size(), 2u);
    const ElementModel& n = g.elements[1];
    EXPECT_EQ(n.kind, ElementKind::Needle);
    EXPECT_EQ(n.address % 8, 0u);
    EXPECT_EQ(n.parent, 0);
    EXPECT_EQ(host.read_u32(g.elements[0].next_elements), n.address);
    EXPECT_EQ(host.read_u32(g.elements[0].next_elements + 4), 0u);
    EXPECT_EQ(n.next_elements, 0u);
    EXPECT_EQ(n.resource_id, 0x1001u);
    EXPECT_EQ(n.position, (std::array<int32_t, 2>{200, 200}));
    EXPECT_EQ(n.offset, (std::array<int32_t, 2>{98, 16}));
    EXPECT_EQ(n.draw_flags, 7u);
    EXPECT_EQ(n.gauge_header, g.header);
    ASSERT_EQ(n.vars.size(), 1u);
    EXPECT_EQ(n.vars[0].token, 61u);
    EXPECT_EQ(n.max_degrees_per_tick, 0);
    EXPECT_NE(n.value_callback, 0u);
    const NonlinearityPointModel table[18] = {
        {199, 399, 0},   {170, 396, 10},  {138, 389, 15},  {101, 373, 20},  {15, 268, 30},   {12, 133, 40},
        {99, 31, 50},    {199, 1, 60},    {275, 18, 70},   {338, 16, 80},   {379, 124, 90},  {399, 201, 100},
        {389, 251, 110}, {368, 301, 120}, {338, 340, 130}, {397, 371, 140}, {250, 340, 392}, {235, 395, 600}};
    ASSERT_EQ(n.nonlinearity_count, 18u);
    ASSERT_EQ(n.points.size(), 18u);
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(n.points[i].x, table[i].x) << i;
        EXPECT_EQ(n.points[i].y, table[i].y) << i;
        EXPECT_EQ(n.points[i].value, table[i].value) << i;
        EXPECT_EQ(host.read(n.nonlinearity_table + 24 * i + 0x10, 8), std::vector<uint8_t>(8, 0)) << i;
    }
    // Host working bytes of the needle are zero as authored.
    for (auto [off, len] : {std::pair{0x40u, 24u}, {0x58u, 24u}, {0x7Cu, 100u}, {0xE4u, 8u}})
        for (uint8_t b : host.read(n.address + off, len)) ASSERT_EQ(b, 0) << "at +0x" << std::hex << off;
}

TEST(Airspeed, CallbackReturnsItsVariableBitForBitAndTouchesNothing) {
    const double inputs[] = {0.0, -0.0, 12.5, 15.0, 135.0, 600.0, 601.5, -5.0, 1e300, -1e-310,
                             std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(), std::bit_cast<double>(0xFFF8000000001234ull)};
    Host host(KEL_GAU_PATH);
    const auto before = WritableData(host);
    for (double v : inputs) {
        host.set(61, v);
        const CallResult r = host.call_callback("AIRSPEED", 1);
        EXPECT_EQ(Bits(r.value), Bits(v)) << v;
    }
    EXPECT_TRUE(host.service_calls().empty());
    // The only bytes that changed are the needle's variable value, written by the host.
    auto after = WritableData(host);
    ASSERT_EQ(after.size(), before.size());
    size_t changed = 0;
    for (size_t i = 0; i < after.size(); ++i) changed += after[i] != before[i];
    EXPECT_LE(changed, 8u);
}

// The image relocated to other bases behaves exactly as at its preferred base.
TEST(Relocation, ModuleAtAnotherBaseBehavesTheSame) {
    Host home(KEL_GAU_PATH);
    for (uint32_t base : {0x20000000u, 0x00400000u, 0x6F310000u}) {
        SCOPED_TRACE(base);
        Host moved(KEL_GAU_PATH, {.base = base});
        ASSERT_EQ(moved.module().base(), base);
        const int32_t delta = int32_t(base - home.module().base());
        ASSERT_EQ(moved.model().gauges.size(), 17u);
        for (size_t i = 0; i < 17; ++i) {
            const GaugeModel& a = home.model().gauges[i];
            const GaugeModel& b = moved.model().gauges[i];
            EXPECT_EQ(a.name, b.name);
            EXPECT_EQ(b.header, a.header + delta);
            ASSERT_EQ(a.elements.size(), b.elements.size());
            for (size_t e = 0; e < a.elements.size(); ++e) {
                EXPECT_EQ(b.elements[e].address, a.elements[e].address + delta);
                EXPECT_EQ(b.elements[e].gauge_header, b.header);
            }
        }
        for (Host* h : {&home, &moved}) {
            h->set(61, 135.25);
            h->set(74, 4500.0);
            h->set(75, 1013.2);
        }
        for (const char* gauge : {"AIRSPEED", "ALTIMETER", "KOHLSMAN"}) {
            auto ra = home.update(gauge);
            auto rb = moved.update(gauge);
            ASSERT_EQ(ra.size(), rb.size());
            for (size_t e = 0; e < ra.size(); ++e) {
                EXPECT_EQ(Bits(ra[e].value), Bits(rb[e].value)) << gauge << " element " << e;
                EXPECT_EQ(ra[e].text, rb[e].text);
            }
        }
        EXPECT_EQ(home.call_routine("Clock", 4), moved.call_routine("Clock", 4));
        EXPECT_EQ(moved.service_calls().back().args[0], moved.gauge("AIRSPEED").elements[0].address);
    }
}

// Host services and gauge updates, on a one-gauge module built to trip each check.
#include "gaugehost.h"
#include "support.h"

using namespace gaugehost;

namespace {

// Element indices of the MINI gauge: root, text, needle, icon.
constexpr int kText = 1, kNeedle = 2, kIcon = 3;
// Mouse entries: the child with a mouse function, the child with an event id.
constexpr int kFunctionChild = 1, kEventChild = 2;

class MiniHost : public testing::Test {
protected:
    Host host{fixtures::mini};
};

TEST_F(MiniHost, BindsTheServiceTableAndReadsTheModel) {
    EXPECT_EQ(host.read_u32(host.import_table() + 4), host.services_table());
    const GaugeModel& g = host.gauge("MINI");
    ASSERT_EQ(g.elements.size(), 4u);
    const ElementKind kinds[] = {ElementKind::Static, ElementKind::String, ElementKind::Needle, ElementKind::Icon};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(g.elements[i].kind, kinds[i]);
        EXPECT_EQ(g.elements[i].gauge_header, g.header);
        EXPECT_EQ(g.elements[i].depth, int(i));
    }
    const ElementModel& text = g.elements[kText];
    EXPECT_EQ(text.max_chars, 3u);
    EXPECT_EQ(text.font_name, "Arial");
    EXPECT_EQ(text.box_size, (std::array<int32_t, 2>{50, 20}));
    EXPECT_EQ(text.vars.size(), 3u);
    EXPECT_EQ(text.vars[1].token, 9u);
    EXPECT_EQ(g.elements[kNeedle].max_degrees_per_tick, 6);
    EXPECT_EQ(g.elements[kIcon].image_count, 2u);
    ASSERT_EQ(g.mouse.size(), 5u);
    EXPECT_EQ(g.mouse[kEventChild].event_id, 0x10157u);
}

TEST_F(MiniHost, UpdateRefreshesVariablesAndCallsEachCallback) {
    host.set(1, 42.9);
    host.set(2, 1.5);
    host.set(7, 5.0);
    auto results = host.update("MINI");
    ASSERT_EQ(results.size(), 4u);
    EXPECT_FALSE(results[0].has_value);
    EXPECT_EQ(results[kText].text, "42");
    EXPECT_EQ(results[kText].value, 42.9);
    EXPECT_EQ(results[kNeedle].value, 6.5);
    EXPECT_EQ(results[kIcon].value, 1.0);
    EXPECT_EQ(host.lookup_count(7), 1u);
    EXPECT_EQ(host.lookups_of_record(host.module().export_address("LookedUpVar")), 1u);
    EXPECT_EQ(host.read_f64(host.module().export_address("LookedUpVar") + 0x0C), 5.0);
}

TEST_F(MiniHost, TextPastMaxCharsIsAnError) {
    host.set(1, 999);
    EXPECT_EQ(host.update("MINI")[kText].text, "999");
    host.set(1, 1000);
    try {
        host.call_callback("MINI", kText);
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("wrote past its text buffer: max_chars is 3, so 4 bytes"), std::string::npos)
            << e.what();
    }
}

TEST_F(MiniHost, AServiceEntryTheModuleMustNotUseIsAnError) {
    host.set(3, 1.0);
    try {
        host.update("MINI");
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("module called host service entry 5, which it must not use"),
                  std::string::npos)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("MINI element 3"), std::string::npos) << e.what();
    }
}

TEST_F(MiniHost, RoutinesReachTheElementListServicesWithTheirArguments) {
    host.set_service_result(0xCAFEF00D);
    EXPECT_EQ(host.call_routine("MINI", 1), 0xCAFEF00Du);
    EXPECT_EQ(host.call_routine("MINI", 2, 0xFFFFFFFF), 0xCAFEF00Du);
    uint32_t root = host.gauge("MINI").elements[0].address;
    ASSERT_EQ(host.service_calls().size(), 2u);
    EXPECT_EQ(host.service_calls()[0].entry, service::kQueryElementList);
    EXPECT_EQ(host.service_calls()[0].args, std::vector<uint32_t>{root});
    EXPECT_EQ(host.service_calls()[1].entry, service::kInstallElementList);
    EXPECT_EQ(host.service_calls()[1].args, (std::vector<uint32_t>{root, 0xFFFFFFFF}));
    EXPECT_THROW(host.call_routine("MINI", 3), Error);  // a null slot
    EXPECT_THROW(host.call_routine("MINI", 8), Error);
}

TEST_F(MiniHost, MouseFunctionsSendKeyEventsThroughTheService) {
    host.set(45, 358.0);
    EXPECT_EQ(host.click("MINI", kFunctionChild), 1u);
    ASSERT_EQ(host.key_events().size(), 3u);
    for (const KeyEvent& k : host.key_events()) {
        EXPECT_EQ(k.event, key::kCourseUp);
        EXPECT_EQ(k.parameter, 0u);
        EXPECT_TRUE(k.from_module);
    }
    EXPECT_EQ(host.get(45), 1.0) << "358 + 3 wraps to 1";
}

TEST_F(MiniHost, AnEventChildIsAppliedWithoutCallingTheModule) {
    host.set(855, 359.0);
    EXPECT_EQ(host.click("MINI", kEventChild), 0u);
    EXPECT_TRUE(host.service_calls().empty());
    ASSERT_EQ(host.key_events().size(), 1u);
    EXPECT_FALSE(host.key_events()[0].from_module);
    EXPECT_EQ(host.get(855), 0.0);
    EXPECT_THROW(host.click("MINI", 0), Error) << "a parent is not clickable";
}

TEST_F(MiniHost, UnknownElementTypeIsAnErrorNamingGaugeAndAddress) {
    uint32_t icon = host.gauge("MINI").elements[kIcon].address;
    host.machine().write_u32(icon, 3);
    try {
        host.reload_model();
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "gauge MINI: element at " + hex(icon) + " has unknown element_type 3");
    }
}

TEST_F(MiniHost, UnknownGaugeListsTheValidNames) {
    try {
        host.update("NOPE");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "unknown gauge \"NOPE\"; the module has: MINI");
    }
}

struct KeyCase {
    uint32_t event;
    uint32_t token;
    double before, after;
};

class KeyEvents : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyEvents, MoveTheirVariable) {
    Host host(fixtures::mini);
    host.set(GetParam().token, GetParam().before);
    host.apply_key_event(GetParam().event, 0, true);
    EXPECT_EQ(host.get(GetParam().token), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Table, KeyEvents,
                         testing::Values(KeyCase{key::kPressureUp, 75, 1013, 1014}, KeyCase{key::kPressureDown, 75, 1013, 1012},
                                         KeyCase{key::kHeadingBugUp, 855, 359, 0}, KeyCase{key::kHeadingBugDown, 855, 0, 359},
                                         KeyCase{key::kCourseUp, 45, 359, 0}, KeyCase{key::kCourseDown, 45, 0, 359},
                                         KeyCase{key::kCourseUp, 45, 10, 11}));

struct BadModule {
    const char* name;
    std::string file;
    std::function<void(std::vector<uint8_t>&)> mutate;
    const char* expected;
};

class BadGaugeModule : public testing::TestWithParam<BadModule> {};

TEST_P(BadGaugeModule, IsRefused) {
    auto bytes = fixtures::bytes_of(GetParam().file);
    GetParam().mutate(bytes);
    std::string path = fixtures::write_temp(bytes, std::string(GetParam().name) + ".gau");
    try {
        Host host(path);
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().expected), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BadGaugeModule,
                         testing::Values(BadModule{"NoLinkage", fixtures::low, [](auto&) {}, "missing export Linkage"},
                                         BadModule{"NoImportTable", fixtures::mini,
                                                   [](auto& b) { fixtures::replace_text(b, "ImportTable", "ImportTablf"); },
                                                   "missing export ImportTable"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Records broken in memory after load: the model reader names what is wrong.
struct BrokenRecord {
    const char* name;
    std::function<void(Host&, const GaugeModel&)> poke;
    const char* expected;
};

class BrokenModel : public testing::TestWithParam<BrokenRecord> {};

TEST_P(BrokenModel, IsAnErrorNamingTheGauge) {
    Host host(fixtures::mini);
    GetParam().poke(host, host.gauge("MINI"));
    try {
        host.reload_model();
        FAIL();
    } catch (const Error& e) {
        std::string what = e.what();
        EXPECT_EQ(what.rfind("gauge MINI: ", 0), 0u) << what;
        EXPECT_NE(what.find(GetParam().expected), std::string::npos) << what;
    }
}

void set_type(Host& h, const GaugeModel& g, int entry, uint32_t type) { h.machine().write_u32(g.mouse[size_t(entry)].address, type); }

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenModel,
    testing::Values(
        BrokenRecord{"ChildOutsideGroup", [](Host& h, const GaugeModel& g) { set_type(h, g, 0, 2); },
                     "child outside any parent group"},
        BrokenRecord{"GroupLeftOpen", [](Host& h, const GaugeModel& g) { set_type(h, g, 3, 0); },
                     "end of list with 1 group(s) still open"},
        BrokenRecord{"CloseWithoutOpen", [](Host& h, const GaugeModel& g) { set_type(h, g, 0, 3); },
                     "end of parent with no group open"},
        BrokenRecord{"UnknownRectType", [](Host& h, const GaugeModel& g) { set_type(h, g, 1, 9); }, "unknown rect_type 9"},
        BrokenRecord{"ChildWithEventAndFunction",
                     [](Host& h, const GaugeModel& g) { h.machine().write_u32(g.mouse[1].address + 0x20, 0x10157); },
                     "child must carry either an event_id or a mouse_function"},
        BrokenRecord{"ChildWithNeither",
                     [](Host& h, const GaugeModel& g) { h.machine().write_u32(g.mouse[2].address + 0x20, 0); },
                     "child must carry either an event_id or a mouse_function"},
        BrokenRecord{"ElementLoop",
                     [](Host& h, const GaugeModel& g) { h.machine().write_u32(g.elements[3].address + 0x28, g.element_list); },
                     "is reached twice (a loop in the element tree)"},
        BrokenRecord{"ElementPointerIntoNowhere",
                     [](Host& h, const GaugeModel& g) { h.machine().write_u32(g.element_list, 0x00001000); },
                     "element_type at 0x1000: read of 4 bytes at 0x1000: memory not mapped"},
        BrokenRecord{"TableWithoutCount",
                     [](Host& h, const GaugeModel& g) { h.machine().write_u32(g.elements[2].address + 0x74, 3); },
                     "does not match nonlinearity_count 3"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// ARTHORIZON and ATTITUDE: sprite inputs and scales, bank pointers without code, and the
// inclinometer ball's two callbacks.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "gaugehost.h"
#include "test_support.h"

namespace {

using gaugehost::Callback;
using gaugehost::ElementKind;
using gaugehost::Host;

constexpr int kBall = 4;  // ATTITUDE's inclinometer ball

struct Layer {
    ElementKind kind;
    uint32_t resource;
    std::array<int32_t, 2> position, offset;
    uint32_t draw_flags;
};

TEST(Attitude, ChainsLayerByLayer) {
    struct Gauge {
        const char* name;
        std::vector<Layer> layers;
    };
    const Gauge gauges[] = {
        {"ARTHORIZON", {
            {ElementKind::Static,      0x1070, {  0,   0}, {  0,   0}, 1},
            {ElementKind::Sprite,      0x1071, {  0,   0}, {199, 199}, 7},
            {ElementKind::Needle,      0x1073, {199, 199}, {  6,   0}, 7},
        }},
        {"ATTITUDE", {
            {ElementKind::Static,      0x1080, {  0,   0}, {  0,   0}, 1},
            {ElementKind::Sprite,      0x1081, {  0,   0}, {149, 149}, 3},
            {ElementKind::Static,      0x1083, {  0,   0}, {  0,   0}, 5},
            {ElementKind::Needle,      0x1084, {149, 149}, {  4,  76}, 7},
            {ElementKind::MovingImage, 0x1085, { 90, 237}, {  0,   0}, 3},
        }},
    };
    Host host(KEL_GAU_PATH);
    for (const Gauge& want : gauges) {
        SCOPED_TRACE(want.name);
        const auto& g = host.gauge(want.name);
        ASSERT_EQ(g.elements.size(), want.layers.size());
        for (size_t i = 0; i < want.layers.size(); ++i) {
            const auto& e = g.elements[i];
            const Layer& l = want.layers[i];
            SCOPED_TRACE("element " + std::to_string(i));
            EXPECT_EQ(e.kind, l.kind);
            EXPECT_EQ(e.resource_id, l.resource);
            EXPECT_EQ(e.position, l.position);
            EXPECT_EQ(e.offset, l.offset);
            EXPECT_EQ(e.draw_flags, l.draw_flags);
            EXPECT_EQ(e.parent, int(i) - 1);
        }
    }
}

// Both horizons: token 0 × 0.0 sideways, token 77 × 2.84444 (not 256 / 90) up and down,
// token 80 × -1.0 round, textures unscaled.
TEST(Attitude, SpriteInputsAndScales) {
    Host host(KEL_GAU_PATH);
    for (const char* name : {"ARTHORIZON", "ATTITUDE"}) {
        SCOPED_TRACE(name);
        const auto& s = host.gauge(name).elements.at(1);
        ASSERT_EQ(s.kind, ElementKind::Sprite);
        ASSERT_EQ(s.vars.size(), 3u);
        EXPECT_EQ(s.vars[0].token, 0u);
        EXPECT_EQ(s.vars[1].token, 77u);
        EXPECT_EQ(s.vars[2].token, 80u);
        EXPECT_EQ(Bits(s.x_scale), 0u);
        EXPECT_EQ(Bits(s.y_scale), 0x4006C169C23B7953u);
        EXPECT_NE(s.y_scale, 256.0 / 90.0);
        EXPECT_EQ(Bits(s.rotation_scale), Bits(-1.0));
        EXPECT_EQ(std::bit_cast<uint32_t>(s.texture_scale_x), 0x3F800000u);
        EXPECT_EQ(std::bit_cast<uint32_t>(s.texture_scale_y), 0x3F800000u);
    }
}

// Bank pointers have no callback and no table: the host takes token 80 as the angle.
TEST(Attitude, BankPointersCarryNoCode) {
    Host host(KEL_GAU_PATH);
    const std::pair<const char*, int> pointers[] = {{"ARTHORIZON", 2}, {"ATTITUDE", 3}};
    host.set(80, -23.5);
    host.set(77, 10.0);
    for (auto [name, index] : pointers) {
        SCOPED_TRACE(name);
        const auto& n = host.gauge(name).elements.at(size_t(index));
        ASSERT_EQ(n.kind, ElementKind::Needle);
        EXPECT_EQ(n.value_callback, 0u);
        EXPECT_EQ(n.nonlinearity_table, 0u);
        EXPECT_EQ(n.nonlinearity_count, 0u);
        EXPECT_EQ(n.max_degrees_per_tick, 6);
        EXPECT_EQ(n.vars.at(0).token, 80u);

        host.clear_logs();
        auto results = host.update(name);
        EXPECT_EQ(results[size_t(index)].value, -23.5);
        EXPECT_EQ(results[1].rotation, 23.5);
        EXPECT_EQ(Bits(results[1].y), Bits(10.0 * 2.84444));
        EXPECT_TRUE(host.service_calls().empty()) << "neither gauge calls the host";
    }
}

TEST(Attitude, BallRecord) {
    Host host(KEL_GAU_PATH);
    const auto& b = host.gauge("ATTITUDE").elements.at(kBall);
    ASSERT_EQ(b.kind, ElementKind::MovingImage);
    EXPECT_EQ(b.vars.at(0).token, 69u);
    EXPECT_EQ(b.vars.at(1).token, 0u);
    EXPECT_EQ(Bits(b.x_min), Bits(-127.0));
    EXPECT_EQ(Bits(b.x_max), Bits(127.0));
    EXPECT_EQ(Bits(b.y_min), 0u);
    EXPECT_EQ(Bits(b.y_max), 0u);
    EXPECT_EQ(b.parent, 3);
}

// The ball passes token 69 through bit for bit; its y axis is always 1.0.
TEST(Attitude, BallPassesSlipThrough) {
    const double inputs[] = {0.0, -0.0, -127.0, 127.0, 200.0, -1e300, 5e-324,
                             std::numeric_limits<double>::infinity()};
    Host host(KEL_GAU_PATH);
    // Whatever the fixed axis's own record holds, y stays 1.0.
    const uint32_t y_record = host.gauge("ATTITUDE").elements.at(kBall).vars.at(1).address;
    host.machine().write_f64(y_record + 0x0C, 42.0);
    for (double slip : inputs) {
        SCOPED_TRACE(slip);
        host.set(69, slip);
        host.clear_logs();
        EXPECT_EQ(Bits(host.call_callback("ATTITUDE", kBall, Callback::X).value), Bits(slip));
        EXPECT_EQ(Bits(host.call_callback("ATTITUDE", kBall, Callback::Y).value), Bits(1.0));
        EXPECT_TRUE(host.service_calls().empty());
    }
    host.set(69, std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(std::isnan(host.call_callback("ATTITUDE", kBall, Callback::X).value));
}

}  // namespace

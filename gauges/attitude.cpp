// ARTHORIZON and ATTITUDE: horizon sprites, bank pointers and the inclinometer ball.
#include "gauges/gauges.h"

double __stdcall BallPositionX(MovingImageElement* ball);
double __stdcall BallPositionY(MovingImageElement* ball);

namespace {
// Texture pixels per unit of pitch: 256 / 90 to five places, not the quotient itself.
constexpr double kPitchScale = 2.84444;
static_assert(__builtin_bit_cast(unsigned long long, kPitchScale) == 0x4006C169C23B7953ull);

// Both horizons: no sideways shift, pitch slides the texture, bank turns it the other way.
constexpr SpriteElement MakeHorizon(uint32_t texture, PixelPoint centre, GaugeHeader* gauge,
                                    ElementHeader** next, uint32_t draw_flags) {
    return SpriteElement{
        .header = {.element_type = kSprite, .resource_id = texture, .position = {0, 0},
                   .host_10 = {}, .offset = centre, .gauge_header = gauge, .host_24 = nullptr,
                   .next_elements = next, .reserved_2c = nullptr, .draw_flags = draw_flags,
                   .reserved_34 = 0, .reserved_38 = 0},
        .x        = {.var = {.token = 0},  .host = {}, .scale = 0.0},
        .y        = {.var = {.token = 77}, .host = {}, .scale = kPitchScale},
        .rotation = {.var = {.token = 80}, .host = {}, .scale = -1.0},
        .texture_scale_x = 1.0f,
        .texture_scale_y = 1.0f,
        .host_bc = {},
    };
}

// Bank pointers: no callback and no table, so token 80 is their angle, at most 6 per update.
constexpr NeedleElement MakeBankPointer(uint32_t bitmap, PixelPoint position, PixelPoint pivot,
                                        GaugeHeader* gauge, ElementHeader** next) {
    return NeedleElement{
        .header = {.element_type = kNeedle, .resource_id = bitmap, .position = position,
                   .host_10 = {}, .offset = pivot, .gauge_header = gauge, .host_24 = nullptr,
                   .next_elements = next, .reserved_2c = nullptr, .draw_flags = kDrawFlags7,
                   .reserved_34 = 0, .reserved_38 = 0},
        .source_var = {.token = 80},
        .host_58 = {},
        .nonlinearity_table = nullptr,
        .nonlinearity_count = 0,
        .max_degrees_per_tick = 6,
        .host_7c = {},
        .value_callback = nullptr,
        .host_e4 = {},
    };
}

extern StaticImageElement ArtHorizonFace;
extern SpriteElement ArtHorizonSprite;
extern NeedleElement ArtHorizonBankPointer;

ElementHeader* ArtHorizonRoot[]           = {&ArtHorizonFace.header, nullptr};
ElementHeader* ArtHorizonFaceChildren[]   = {&ArtHorizonSprite.header, nullptr};
ElementHeader* ArtHorizonSpriteChildren[] = {&ArtHorizonBankPointer.header, nullptr};

KEL_RECORD StaticImageElement ArtHorizonFace =
    MakeStaticImage(0x1070, &ArtHorizonGauge, ArtHorizonFaceChildren, kDrawBackground);
KEL_RECORD SpriteElement ArtHorizonSprite =
    MakeHorizon(0x1071, {199, 199}, &ArtHorizonGauge, ArtHorizonSpriteChildren, kDrawFlags7);
KEL_RECORD NeedleElement ArtHorizonBankPointer =
    MakeBankPointer(0x1073, {199, 199}, {6, 0}, &ArtHorizonGauge, nullptr);

KEL_RECORD HelpOnlyMouseList ArtHorizonMouse = MakeHelpOnlyMouseList(0xAB0D);
}  // namespace

KEL_RECORD GaugeHeader ArtHorizonGauge = MakeGaugeHeader("ARTHORIZON", ArtHorizonRoot, ArtHorizonMouse.rects);

namespace {
extern StaticImageElement AttitudeFace;
extern SpriteElement AttitudeSprite;
extern StaticImageElement AttitudeOverlay;
extern NeedleElement AttitudeBankPointer;
extern MovingImageElement InclinometerBall;

ElementHeader* AttitudeRoot[]            = {&AttitudeFace.header, nullptr};
ElementHeader* AttitudeFaceChildren[]    = {&AttitudeSprite.header, nullptr};
ElementHeader* AttitudeSpriteChildren[]  = {&AttitudeOverlay.header, nullptr};
ElementHeader* AttitudeOverlayChildren[] = {&AttitudeBankPointer.header, nullptr};
ElementHeader* AttitudePointerChildren[] = {&InclinometerBall.header, nullptr};

KEL_RECORD StaticImageElement AttitudeFace =
    MakeStaticImage(0x1080, &AttitudeGauge, AttitudeFaceChildren, kDrawBackground);
KEL_RECORD SpriteElement AttitudeSprite =
    MakeHorizon(0x1081, {149, 149}, &AttitudeGauge, AttitudeSpriteChildren, kDrawFlags3);
// The aircraft symbol and bank scale, drawn over the horizon.
KEL_RECORD StaticImageElement AttitudeOverlay =
    MakeStaticImage(0x1083, &AttitudeGauge, AttitudeOverlayChildren, kDrawFlags5);
KEL_RECORD NeedleElement AttitudeBankPointer =
    MakeBankPointer(0x1084, {149, 149}, {4, 76}, &AttitudeGauge, AttitudePointerChildren);

// The ball slides sideways only, inside the curved tube of its mask (0x1086).
KEL_RECORD MovingImageElement InclinometerBall = {
    .header = {.element_type = kMovingImage, .resource_id = 0x1085, .position = {90, 237},
               .offset = {0, 0}, .gauge_header = &AttitudeGauge, .next_elements = nullptr,
               .draw_flags = kDrawFlags3},
    .x_var = {.token = 69},  .x_min = -127.0, .x_max = 127.0,
    .y_var = {.token = 0},   .y_min =    0.0, .y_max =   0.0,
    .x_callback = BallPositionX,
    .y_callback = BallPositionY,
};

KEL_RECORD HelpOnlyMouseList AttitudeMouse = MakeHelpOnlyMouseList(0xAB0D);
}  // namespace

KEL_RECORD GaugeHeader AttitudeGauge = MakeGaugeHeader("ATTITUDE", AttitudeRoot, AttitudeMouse.rects);

// Slip passes through unscaled and unclamped.
double __stdcall BallPositionX(MovingImageElement* ball) { return ball->x_var.value; }

// The fixed vertical axis (token 0, range 0..0).
double __stdcall BallPositionY(MovingImageElement*) { return 1.0; }

// The module's 58 bitmaps: identifier, size, storage and the routine that draws each.
#include <stdexcept>

#include "artwork.h"
#include "pictures.h"

namespace artwork {

const std::vector<BitmapEntry>& catalogue() {
    using K = Kind;
    // clang-format off
    static const std::vector<BitmapEntry> table = {
        // id     w    h  bits pal  cnt0   kind      draw                     same    gauge         shows
        {0x1000, 400, 400, 8,  39, false, K::Opaque, airspeed_face,          0,      "AIRSPEED",   "dial 0 to 140 knots"},
        {0x1001, 300,  35, 8,  71, false, K::OnBlack, airspeed_needle,       0,      "AIRSPEED",   "needle pointing right"},
        {0x1010, 400, 400, 8,  56, false, K::Opaque, altimeter_face,         0,      "ALTIMETER",  "dial 0 to 9, pressure window"},
        {0x1011,  37, 208, 8,  10, false, K::OnBlack, altimeter_long_hand,   0,      "ALTIMETER",  "long hand"},
        {0x1012,  51, 168, 8,  15, false, K::OnBlack, altimeter_middle_hand, 0,      "ALTIMETER",  "middle hand with ring"},
        {0x1013,  37, 145, 8,   9, false, K::OnBlack, altimeter_short_hand,  0,      "ALTIMETER",  "short hand with arrow"},
        {0x1014,  45,  45, 8, 161, false, K::Opaque, knob,                   0,      "KOHLSMAN",   "knob"},
        {0x1015,  45,  45, 8, 161, false, K::Opaque, knob,                   0x1014, "KOHLSMAN",   "knob, turning"},
        {0x1020, 400, 400, 4,  16, false, K::Opaque, radalt_face,            0,      "RADALT",     "dial 0 to 500 feet"},
        {0x1021, 189,  55, 8,   9, false, K::OnBlack, hub_needle,            0,      "RADALT",     "needle with hub"},
        {0x1030, 400, 400, 8,   2, false, K::Opaque, compass_base,           0,      "COMPASS",    "black with faint ring"},
        {0x1031, 400, 400, 8,  14, false, K::OnBlack, compass_card,          0,      "COMPASS",    "compass card"},
        {0x1032, 391,  49, 8, 216, false, K::OnBlack, heading_bug,           0,      "COMPASS",    "heading bug"},
        {0x1033, 400, 400, 8,   5, false, K::OnBlack, compass_overlay,       0,      "COMPASS",    "index marks"},
        {0x1034,  45,  45, 8, 161, false, K::Opaque, knob,                   0x1014, "HEADINGBUG", "knob"},
        {0x1035,  45,  45, 8, 161, false, K::Opaque, knob,                   0x1014, "HEADINGBUG", "knob, turning"},
        {0x1040, 400, 400, 8,  15, false, K::Opaque, vsi_face,               0,      "VSI",        "vertical speed dial"},
        {0x1041, 210,  39, 8,  10, false, K::OnBlack, vsi_needle,            0,      "VSI",        "needle pointing right"},
        {0x1050, 400, 399, 8,  20, false, K::Opaque, adf_face,               0,      "ADF",        "fixed card"},
        {0x1051,  54, 189, 8,   9, false, K::OnBlack, adf_needle,            0,      "ADF",        "needle pointing up"},
        {0x1052,  52,  33, 8,   1, false, K::OnBlack, flag_stowed_wide,      0,      "ADF",        "flag stowed"},
        {0x1053,  52,  33, 8,   2, false, K::OnBlack, flag_wide,             0,      "ADF",        "flag"},
        {0x1060, 243, 243, 8,  17, false, K::Opaque, deviation_face,         0,      "DEVIATION",  "face with dotted cross"},
        {0x1061, 243,  10, 8,   4, false, K::OnBlack, deviation_bar_wide,    0,      "DEVIATION",  "glide-slope bar"},
        {0x1062, 243, 243, 8,   2, false, K::Mask,   deviation_mask,         0,      "DEVIATION",  "bar window"},
        {0x1063,  10, 243, 8,   4, false, K::OnBlack, deviation_bar_tall,    0,      "DEVIATION",  "course bar"},
        {0x1064, 243, 243, 8,   2, false, K::Mask,   deviation_mask,         0x1062, "DEVIATION",  "bar window"},
        {0x1065,  33,  52, 8,   1, false, K::OnBlack, flag_stowed_tall,      0,      "DEVIATION",  "course flag stowed"},
        {0x1066,  33,  52, 8,   2, false, K::OnBlack, flag_tall,             0,      "DEVIATION",  "course flag"},
        {0x1067,  52,  33, 8,   1, false, K::OnBlack, flag_stowed_wide,      0x1052, "DEVIATION",  "glide-slope flag stowed"},
        {0x1068,  52,  33, 8,   2, false, K::OnBlack, flag_wide,             0x1053, "DEVIATION",  "glide-slope flag"},
        {0x1069, 200,  50, 8, 197, false, K::Opaque, obs_strip,              0,      "OBS",        "course selector strip"},
        {0x1070, 400, 400, 8, 181, false, K::Opaque, horizon_face,           0,      "ARTHORIZON", "face with bank scale"},
        {0x1071, 256, 512, 8,   5, false, K::OnBlack, horizon_texture,       0,      "ARTHORIZON", "horizon and pitch marks"},
        {0x1072, 400, 400, 8,  22, false, K::Mask,   horizon_mask,           0,      "ARTHORIZON", "window and aircraft"},
        {0x1073,  13, 161, 8,   2, false, K::OnBlack, horizon_bank_pointer,  0,      "ARTHORIZON", "bank pointer"},
        {0x1080, 297, 294, 8, 256, false, K::Opaque, attitude_face,          0,      "ATTITUDE",   "instrument front"},
        {0x1081, 256, 512, 8, 225, false, K::OnBlack, attitude_texture,      0,      "ATTITUDE",   "sky, ground, ladder"},
        {0x1082, 297, 294, 8, 256, false, K::Mask,   attitude_mask,          0,      "ATTITUDE",   "bezel round the window"},
        {0x1083, 297, 294, 8, 256, false, K::OnBlack, attitude_overlay,      0,      "ATTITUDE",   "aircraft and bank scale"},
        {0x1084,   9, 153, 8,  75, false, K::OnBlack, attitude_bank_pointer, 0,      "ATTITUDE",   "bank pointer"},
        {0x1085,  15,  22, 8, 207, false, K::OnBlack, inclinometer_ball,     0,      "ATTITUDE",   "ball"},
        {0x1086, 117,  28, 8,   3, false, K::Mask,   inclinometer_mask,      0,      "ATTITUDE",   "ball tube"},
        {0x1090, 400, 400, 8,   3, false, K::Opaque, rpm_face,               0,      "RPM",        "dial 5 to 25"},
        {0x1091, 189,  55, 8,   9, false, K::OnBlack, hub_needle,            0x1021, "RPM",        "needle"},
        {0x1092, 400, 400, 8,  21, false, K::OnBlack, rpm_overlay,           0,      "RPM",        "range arc"},
        {0x1095, 400, 400, 8,   3, false, K::Opaque, torque_face,            0,      "TORQUE",     "dial 0 to 4"},
        {0x1096, 189,  55, 8,   9, false, K::OnBlack, hub_needle,            0x1021, "TORQUE",     "needle"},
        {0x1097, 400, 400, 8,  10, false, K::OnBlack, torque_overlay,        0,      "TORQUE",     "range marks"},
        {0x109A, 400, 400, 8,   5, false, K::Opaque, fuelflow_face,          0,      "FUELFLOW",   "dial 0 to 10"},
        {0x109B, 189,  55, 8,   5, false, K::OnBlack, fuelflow_needle,       0,      "FUELFLOW",   "thin needle"},
        {0x109C, 400, 400, 8,   6, false, K::Opaque, tit_face,               0,      "TIT",        "dial 2 to 8"},
        {0x109D, 189,  55, 8,   9, false, K::OnBlack, hub_needle,            0x1021, "TIT",        "needle"},
        {0x1100, 400, 400, 8, 256, false, K::Opaque, clock_face,             0,      "Clock",      "clock face"},
        {0x1101,  13,  75, 8,  32, false, K::OnBlack, clock_counter_hand,    0,      "Clock",      "counter hand"},
        {0x1102,  54, 131, 8, 121, false, K::OnBlack, clock_hour_hand,       0,      "Clock",      "hour hand"},
        {0x1103,  10, 154, 8, 256, true,  K::OnBlack, clock_minute_hand,     0,      "Clock",      "minute hand"},
        {0x1104,  13, 188, 8,  38, false, K::OnBlack, clock_seconds_hand,    0,      "Clock",      "seconds hand"},
    };
    // clang-format on
    return table;
}

std::vector<uint8_t> build_resource(const BitmapEntry& entry) {
    const Image img = entry.draw();
    if (img.width != entry.width || img.height != entry.height)
        throw std::logic_error("bitmap id " + std::to_string(entry.id) + " drawn at the wrong size");
    const std::vector<Rgb> keep = {kDialFace,   kWhite,       kFaintRing,  kRangeRed,
                                    kRangeGreen, kRangeYellow, kLabelBlue};
    // Black means "nothing here" to the host in pictures drawn over others,
    // and (1,1,1) means "window" in masks: neither may appear by rounding.
    std::vector<Rgb> exact_only = {kWindow};
    if (entry.kind != Kind::Opaque) exact_only.push_back(kBlack);
    return encode_dib(quantise(img, entry.palette, keep, exact_only), entry);
}

}  // namespace artwork

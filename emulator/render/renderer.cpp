#include "render/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <tuple>

#include "render/error.h"

namespace gaugehost::render {
namespace {

constexpr double kDegrees = std::numbers::pi / 180.0;

// A tabled needle's bitmap is drawn pointing right (3 o'clock), which is 90
// degrees clockwise of straight up, where directions are measured from.
constexpr double kTabledNeedleDrawnDirection = 90.0;

const char* KindName(ElementKind kind) {
    switch (kind) {
        case ElementKind::kStaticImage: return "static image";
        case ElementKind::kNeedle: return "needle";
        case ElementKind::kString: return "string";
        case ElementKind::kIcon: return "icon";
        case ElementKind::kMovingImage: return "moving image";
        case ElementKind::kSprite: return "sprite";
    }
    return "element";
}

Paint BitmapPaint(const ElementLayout& e) {
    return e.draw_flags & kDrawBlackTransparent ? Paint::kBlackClear : Paint::kOpaque;
}

void SetFilter(cairo_t* cr, const ElementLayout& e) {
    cairo_pattern_set_filter(cairo_get_source(cr),
                             e.draw_flags & kDrawSmooth ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
}

void SetColorref(cairo_t* cr, uint32_t colorref) {
    cairo_set_source_rgb(cr, (colorref & 0xFF) / 255.0, ((colorref >> 8) & 0xFF) / 255.0,
                         ((colorref >> 16) & 0xFF) / 255.0);
}

// Fills `ink` (a box in the source's pixels, grown by `margin`) with `source`
// placed at the current origin: the paint touches only pixels the bitmap can reach.
void FillInk(cairo_t* cr, const InkBox& ink, double margin) {
    if (ink.empty()) return;
    cairo_rectangle(cr, ink.x - margin, ink.y - margin, ink.width + 2 * margin, ink.height + 2 * margin);
    cairo_fill(cr);
}

}  // namespace

std::string AnsiToUtf8(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) continue;
        if (c < 0x80) {
            out.push_back(char(c));
        } else {
            out.push_back(char(0xC0 | (c >> 6)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

const char* FontFamilyFor(const std::string& windows_face) {
    if (windows_face == "Arial" || windows_face == "Helvetica") return "Liberation Sans";
    if (windows_face == "Times New Roman") return "Liberation Serif";
    if (windows_face == "Courier New") return "Liberation Mono";
    return windows_face.empty() ? "Liberation Sans" : windows_face.c_str();
}

GaugeRenderer::GaugeRenderer(GaugeLayout layout, SurfaceCache& cache)
    : layout_(std::move(layout)), cache_(cache) {
    const std::string gauge = "gauge \"" + layout_.name + "\"";
    if (layout_.chain.empty()) throw RenderError(gauge + " has no elements");
    const ElementLayout& root = layout_.chain.front();
    if (root.kind != ElementKind::kStaticImage)
        throw RenderError(gauge + ": the root is a " + KindName(root.kind) + ", not a static image");
    std::tie(width_, height_) = cache_.Size(root.resource_id);

    state_.resize(layout_.chain.size());
    for (size_t i = 0; i < layout_.chain.size(); ++i) {
        const ElementLayout& e = layout_.chain[i];
        const std::string where = gauge + " element " + std::to_string(i) + " (" + KindName(e.kind) + ")";
        try {
            switch (e.kind) {
                case ElementKind::kStaticImage:
                    cache_.Size(e.resource_id);
                    break;
                case ElementKind::kNeedle:
                    cache_.Size(e.resource_id);
                    if (!e.table.empty()) state_[i].scale = NeedleScale(e.position_x, e.position_y, e.table);
                    state_[i].target = state_[i].scale.empty() ? 0.0 : state_[i].scale.DirectionAt(0.0);
                    state_[i].rotation = state_[i].scale.empty() ? 0.0
                                                                  : state_[i].target - kTabledNeedleDrawnDirection;
                    break;
                case ElementKind::kString:
                    if (e.box_width <= 0 || e.box_height <= 0)
                        throw RenderError("text box " + std::to_string(e.box_width) + " x " +
                                          std::to_string(e.box_height) + " has no area");
                    break;
                case ElementKind::kIcon:
                    for (uint32_t k = 0; k < std::max<uint32_t>(e.image_count, 1); ++k) cache_.Size(e.resource_id + k);
                    break;
                case ElementKind::kMovingImage:
                case ElementKind::kSprite:
                    cache_.Size(e.resource_id);
                    cache_.Size(e.resource_id + 1);
                    break;
                default:
                    throw RenderError("element_type " + std::to_string(uint32_t(e.kind)) + " is not one gaugehost draws");
            }
        } catch (const RenderError& err) {
            throw RenderError(where + ": " + err.what());
        }
    }
    // Before the first update, moving images stand where a zero result puts them.
    Update(std::vector<ElementResult>(layout_.chain.size()));
    for (auto& s : state_) s.motion.Reset();
}

void GaugeRenderer::Update(std::span<const ElementResult> results) {
    if (results.size() != layout_.chain.size())
        throw RenderError("gauge \"" + layout_.name + "\": update has " + std::to_string(results.size()) +
                          " results for " + std::to_string(layout_.chain.size()) + " elements");
    for (size_t i = 0; i < layout_.chain.size(); ++i) {
        const ElementLayout& e = layout_.chain[i];
        const ElementResult& r = results[i];
        ElementState& s = state_[i];
        switch (e.kind) {
            case ElementKind::kStaticImage: break;
            case ElementKind::kNeedle: {
                s.target = s.scale.empty() ? r.value : s.scale.DirectionAt(r.value);
                const double wanted = s.scale.empty() ? s.target : s.target - kTabledNeedleDrawnDirection;
                s.rotation = s.motion.Advance(wanted, e.max_degrees_per_tick);
                break;
            }
            case ElementKind::kString: s.text = r.text; break;
            case ElementKind::kIcon: {
                const uint32_t last = std::max<uint32_t>(e.image_count, 1) - 1;
                // Results are image numbers; anything else is taken to the nearest one that exists.
                const double k = std::isnan(r.value) ? 0.0 : std::clamp(std::round(r.value), 0.0, double(last));
                s.image = uint32_t(k);
                break;
            }
            case ElementKind::kMovingImage: {
                const auto [iw, ih] = cache_.Size(e.resource_id);
                const auto [mw, mh] = cache_.Size(e.resource_id + 1);
                s.dx = AxisOffset(r.value, e.x_min, e.x_max, double(mw - iw));
                s.dy = AxisOffset(r.value_y, e.y_min, e.y_max, double(mh - ih));
                if (!(e.draw_flags & kDrawSmooth)) {
                    s.dx = std::round(s.dx);
                    s.dy = std::round(s.dy);
                }
                break;
            }
            case ElementKind::kSprite: {
                // A non-finite shift or turn would make the texture vanish; hold it level instead.
                auto finite = [](double v) { return std::isfinite(v) ? v : 0.0; };
                s.dx = finite(r.value);
                s.dy = finite(r.value_y);
                s.rotation = finite(r.value_rotation);
                break;
            }
        }
    }
}

void GaugeRenderer::Draw(cairo_t* cr) const {
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, width_, height_);
    cairo_clip(cr);
    for (size_t i = 0; i < layout_.chain.size(); ++i) DrawElement(cr, layout_.chain[i], state_[i]);
    cairo_restore(cr);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
        throw RenderError("drawing gauge \"" + layout_.name + "\" failed: " + cairo_status_to_string(cairo_status(cr)));
}

void GaugeRenderer::DrawElement(cairo_t* cr, const ElementLayout& e, const ElementState& s) const {
    cairo_save(cr);
    switch (e.kind) {
        case ElementKind::kStaticImage:
        case ElementKind::kIcon: {
            const uint32_t id = e.resource_id + (e.kind == ElementKind::kIcon ? s.image : 0);
            cairo_translate(cr, e.position_x, e.position_y);
            cairo_set_source_surface(cr, cache_.Get(id, BitmapPaint(e)), 0, 0);
            SetFilter(cr, e);
            FillInk(cr, cache_.Ink(id, BitmapPaint(e)), 0);
            break;
        }
        case ElementKind::kNeedle:
            // The bitmap's `offset` pixel goes on the root's `position` pixel, centre on
            // centre, and the needle turns about that pixel's centre.
            cairo_translate(cr, e.position_x + 0.5, e.position_y + 0.5);
            cairo_rotate(cr, s.rotation * kDegrees);
            cairo_translate(cr, -(e.offset_x + 0.5), -(e.offset_y + 0.5));
            cairo_set_source_surface(cr, cache_.Get(e.resource_id, BitmapPaint(e)), 0, 0);
            SetFilter(cr, e);
            // A hard-edged turned box one pixel wider than the ink: everything outside
            // it is transparent anyway, and no edge is blended twice.
            cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
            FillInk(cr, cache_.Ink(e.resource_id, BitmapPaint(e)), 1.0);
            break;
        case ElementKind::kString:
            DrawText(cr, e, s.text);
            break;
        case ElementKind::kMovingImage:
        case ElementKind::kSprite:
            DrawMasked(cr, e, s);
            break;
    }
    cairo_restore(cr);
}

void GaugeRenderer::DrawText(cairo_t* cr, const ElementLayout& e, const std::string& ansi) const {
    const std::string text = AnsiToUtf8(ansi);
    const double x = e.position_x, y = e.position_y, w = e.box_width, h = e.box_height;
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    SetColorref(cr, e.back_color);
    cairo_paint(cr);
    if (text.empty()) return;

    cairo_select_font_face(cr, FontFamilyFor(e.font_name), CAIRO_FONT_SLANT_NORMAL,
                           e.font_weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    // The font's cell (ascent + descent) fills the box height, as a face asked for
    // by cell height does; a text too wide for the box is made smaller to fit.
    // Unhinted metrics: hinting would round a reference size's metrics to whole pixels.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    constexpr double kReference = 100.0;
    cairo_set_font_size(cr, kReference);
    cairo_font_extents_t reference;
    cairo_font_extents(cr, &reference);
    double size = kReference * h / std::max(reference.ascent + reference.descent, 1e-6);
    cairo_text_extents_t ext;
    cairo_set_font_size(cr, size);
    cairo_text_extents(cr, text.c_str(), &ext);
    if (ext.x_advance > w && ext.x_advance > 0) {
        size *= w / ext.x_advance;
        cairo_set_font_size(cr, size);
        cairo_text_extents(cr, text.c_str(), &ext);
    }
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);

    double left = x;
    if (e.text_format & kTextCentre)
        left = x + (w - ext.x_advance) / 2.0;
    else if (e.text_format & kTextRight)
        left = x + w - ext.x_advance;
    const double cell = font.ascent + font.descent;
    double top = y;
    if (e.text_format & kTextVerticalCentre)
        top = y + (h - cell) / 2.0;
    else if (e.text_format & kTextBottom)
        top = y + h - cell;

    SetColorref(cr, e.fore_color);
    cairo_move_to(cr, left, top + font.ascent);
    cairo_show_text(cr, text.c_str());
}

void GaugeRenderer::DrawMasked(cairo_t* cr, const ElementLayout& e, const ElementState& s) const {
    // The window of the mask ((1,1,1) pixels) lets the moving bitmap or sprite
    // texture through; the mask's other colours are fixed artwork over it; its pure
    // black shows what lies below. The mask's top-left lies at `position`.
    //
    // A moving bitmap sits at its offset within the window. A sprite's texture has
    // its centre on `offset` (the window's centre, root pixels), is turned about that
    // point by the turn (clockwise for a positive value, as a needle) and, within its
    // own turned frame, shifted by the x and y shifts in texture pixels: a positive
    // y shift moves it down, so a positive pitch shows more sky.
    const uint32_t mask = e.resource_id + 1;
    cairo_matrix_t place;  // texture pixels -> mask pixels
    if (e.kind == ElementKind::kMovingImage) {
        cairo_matrix_init_translate(&place, s.dx, s.dy);
    } else {
        const auto [tw, th] = cache_.Size(e.resource_id);
        const double sx = std::isfinite(e.texture_scale_x) && e.texture_scale_x > 0 ? e.texture_scale_x : 1.0;
        const double sy = std::isfinite(e.texture_scale_y) && e.texture_scale_y > 0 ? e.texture_scale_y : 1.0;
        cairo_matrix_init_translate(&place, e.offset_x - e.position_x + 0.5, e.offset_y - e.position_y + 0.5);
        cairo_matrix_rotate(&place, s.rotation * kDegrees);
        cairo_matrix_translate(&place, s.dx, s.dy);
        cairo_matrix_scale(&place, sx, sy);
        cairo_matrix_translate(&place, -tw / 2.0, -th / 2.0);
    }
    cairo_translate(cr, e.position_x, e.position_y);

    // One pass: the placed bitmap as source, the window as mask, confined to the window.
    const InkBox& window = cache_.Ink(mask, Paint::kWindow);
    if (!window.empty() && cairo_matrix_invert(&place) == CAIRO_STATUS_SUCCESS) {
        cairo_save(cr);
        cairo_rectangle(cr, window.x, window.y, window.width, window.height);
        cairo_clip(cr);
        cairo_pattern_t* source = cairo_pattern_create_for_surface(cache_.Get(e.resource_id, BitmapPaint(e)));
        cairo_pattern_set_matrix(source, &place);
        cairo_pattern_set_filter(source,
                                 e.draw_flags & kDrawSmooth ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
        cairo_set_source(cr, source);
        cairo_mask_surface(cr, cache_.Get(mask, Paint::kWindow), 0, 0);
        cairo_pattern_destroy(source);
        cairo_restore(cr);
    }
    cairo_set_source_surface(cr, cache_.Get(mask, Paint::kArtwork), 0, 0);
    FillInk(cr, cache_.Ink(mask, Paint::kArtwork), 0);
}

}  // namespace gaugehost::render

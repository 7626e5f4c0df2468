#include "render/renderer.h"

#include <algorithm>
#include <tuple>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

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

}  // namespace

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
}

void GaugeRenderer::DrawElement(cairo_t* cr, const ElementLayout& e, const ElementState& s) const {
    cairo_save(cr);
    switch (e.kind) {
        case ElementKind::kStaticImage:
            cairo_set_source_surface(cr, cache_.Get(e.resource_id, BitmapPaint(e)), e.position_x, e.position_y);
            SetFilter(cr, e);
            cairo_paint(cr);
            break;
        case ElementKind::kNeedle:
            // The bitmap's `offset` pixel goes on the root's `position` pixel, centre on
            // centre, and the needle turns about that pixel's centre.
            cairo_translate(cr, e.position_x + 0.5, e.position_y + 0.5);
            cairo_rotate(cr, s.rotation * kDegrees);
            cairo_translate(cr, -(e.offset_x + 0.5), -(e.offset_y + 0.5));
            cairo_set_source_surface(cr, cache_.Get(e.resource_id, BitmapPaint(e)), 0, 0);
            SetFilter(cr, e);
            cairo_paint(cr);
            break;
        case ElementKind::kString:
            DrawText(cr, e, s.text);
            break;
        case ElementKind::kIcon:
            cairo_set_source_surface(cr, cache_.Get(e.resource_id + s.image, BitmapPaint(e)), e.position_x,
                                     e.position_y);
            SetFilter(cr, e);
            cairo_paint(cr);
            break;
        case ElementKind::kMovingImage:
            DrawMasked(cr, e, s);
            break;
        case ElementKind::kSprite:
            DrawSprite(cr, e, s);
            break;
    }
    cairo_restore(cr);
}

void GaugeRenderer::DrawText(cairo_t* cr, const ElementLayout& e, const std::string& text) const {
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
    // The window of the mask ((1,1,1) pixels) lets the moving bitmap through; the
    // mask's other colours are fixed artwork over it; its pure black shows what lies below.
    const auto [mw, mh] = cache_.Size(e.resource_id + 1);
    cairo_translate(cr, e.position_x, e.position_y);
    cairo_rectangle(cr, 0, 0, mw, mh);
    cairo_clip(cr);
    cairo_push_group(cr);
    cairo_set_source_surface(cr, cache_.Get(e.resource_id, BitmapPaint(e)), s.dx, s.dy);
    SetFilter(cr, e);
    cairo_paint(cr);
    cairo_pop_group_to_source(cr);
    cairo_mask_surface(cr, cache_.Get(e.resource_id + 1, Paint::kWindow), 0, 0);
    cairo_set_source_surface(cr, cache_.Get(e.resource_id + 1, Paint::kArtwork), 0, 0);
    cairo_paint(cr);
}

void GaugeRenderer::DrawSprite(cairo_t* cr, const ElementLayout& e, const ElementState& s) const {
    // The texture's centre sits on `offset` (the window's centre, root pixels); it is
    // turned about that point by the rotation product (variable x rotation_scale;
    // clockwise for a positive product, as a needle) and, within its own turned frame,
    // shifted by the x and y products in texture pixels (a positive y product moves
    // it down, so a positive pitch shows more sky). The mask at `position` windows it as for a
    // moving image.
    const auto [tw, th] = cache_.Size(e.resource_id);
    const auto [mw, mh] = cache_.Size(e.resource_id + 1);
    cairo_translate(cr, e.position_x, e.position_y);
    cairo_rectangle(cr, 0, 0, mw, mh);
    cairo_clip(cr);
    cairo_push_group(cr);
    cairo_translate(cr, e.offset_x - e.position_x + 0.5, e.offset_y - e.position_y + 0.5);
    cairo_rotate(cr, s.rotation * kDegrees);
    cairo_translate(cr, s.dx, s.dy);
    const double sx = std::isfinite(e.texture_scale_x) && e.texture_scale_x > 0 ? e.texture_scale_x : 1.0;
    const double sy = std::isfinite(e.texture_scale_y) && e.texture_scale_y > 0 ? e.texture_scale_y : 1.0;
    cairo_scale(cr, sx, sy);
    cairo_translate(cr, -tw / 2.0, -th / 2.0);
    cairo_set_source_surface(cr, cache_.Get(e.resource_id, BitmapPaint(e)), 0, 0);
    SetFilter(cr, e);
    cairo_paint(cr);
    cairo_pop_group_to_source(cr);
    cairo_mask_surface(cr, cache_.Get(e.resource_id + 1, Paint::kWindow), 0, 0);
    cairo_set_source_surface(cr, cache_.Get(e.resource_id + 1, Paint::kArtwork), 0, 0);
    cairo_paint(cr);
}

}  // namespace gaugehost::render

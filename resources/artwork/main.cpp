// kel-artwork: draws the module's 58 bitmaps and writes them, with the
// resource-script fragment that lists them, into one directory.
//
//   kel-artwork OUTDIR [--sheet FILE.png] [--png DIR]
//
// OUTDIR receives 1000.bmp ... 1104.bmp and bitmaps.rc. --sheet writes a
// contact sheet of all 58 as read back from the files; --png writes each
// bitmap as its own PNG. On the sheet, mask windows (1,1,1) show tinted blue.
#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "../../emulator/dib.h"
#include "artwork.h"

namespace fs = std::filesystem;
using artwork::BitmapEntry;

namespace {

std::string hex_name(uint16_t id) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", id);
    return buf;
}

// Writes through a temporary name so a failed run never leaves half a file.
void write_file(const fs::path& path, const void* data, size_t size) {
    const fs::path tmp = path.string() + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("cannot create " + tmp.string());
        out.write(static_cast<const char*>(data), std::streamsize(size));
        if (!out) throw std::runtime_error("cannot write " + tmp.string());
    }
    fs::rename(tmp, path);
}

// Rewrites only when the bytes differ, so unchanged outputs keep their times.
void write_if_changed(const fs::path& path, const std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (in) {
        std::ostringstream old;
        old << in.rdbuf();
        if (old.str() == bytes) return;
    }
    write_file(path, bytes.data(), bytes.size());
}

void write_sheet(const std::vector<std::pair<const BitmapEntry*, gaugehost::Dib>>& all, const std::string& path) {
    constexpr int cols = 8, cell_w = 420, cell_h = 440;
    const int rows = int((all.size() + cols - 1) / cols);
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, cols * cell_w, rows * cell_h);
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.45, 0.45, 0.5);
    cairo_paint(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 16);
    for (size_t i = 0; i < all.size(); ++i) {
        const int cx = int(i % cols) * cell_w, cy = int(i / cols) * cell_h;
        const auto& [entry, dib] = all[i];
        // Mask windows are (1,1,1): tint them so the sheet shows where they are.
        gaugehost::Dib shown = dib;
        for (auto& c : shown.palette)
            if (c == 0x010101) c = 0x203070;
        cairo_surface_t* img = gaugehost::to_surface(shown);
        cairo_set_source_surface(cr, img, cx + 10, cy + 30);
        cairo_paint(cr);
        cairo_surface_destroy(img);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_move_to(cr, cx + 10, cy + 20);
        const std::string label = "0x" + hex_name(entry->id) + "  " + entry->gauge + "  " + entry->shows;
        cairo_show_text(cr, label.c_str());
    }
    cairo_destroy(cr);
    const cairo_status_t st = cairo_surface_write_to_png(sheet, path.c_str());
    cairo_surface_destroy(sheet);
    if (st != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + path);
}

int usage() {
    std::cerr << "usage: kel-artwork OUTDIR [--sheet FILE.png] [--png DIR]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string out_dir, sheet, png_dir;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--sheet" || a == "--png") && i + 1 < argc)
            (a == "--sheet" ? sheet : png_dir) = argv[++i];
        else if (a.starts_with("--") || !out_dir.empty()) {
            std::cerr << "kel-artwork: unexpected argument '" << a << "'\n";
            return usage();
        } else
            out_dir = a;
    }
    if (out_dir.empty()) return usage();

    try {
        fs::create_directories(out_dir);
        const fs::path dir = fs::absolute(out_dir).lexically_normal();
        if (dir.string().find('"') != std::string::npos)
            throw std::runtime_error("output path may not contain a double quote: " + dir.string());
        if (!png_dir.empty()) fs::create_directories(png_dir);

        std::map<uint16_t, std::vector<uint8_t>> built;
        std::vector<std::pair<const BitmapEntry*, gaugehost::Dib>> read_back;
        std::string rc = "LANGUAGE 9, 1\n";
        for (const auto& entry : artwork::catalogue()) {
            const auto& dib = built[entry.id] =
                entry.same_as ? built.at(entry.same_as) : artwork::build_resource(entry);
            const auto file = artwork::bmp_file(dib);
            const fs::path path = dir / (hex_name(entry.id) + ".bmp");
            write_if_changed(path, std::string(file.begin(), file.end()));
            rc += std::to_string(entry.id) + " BITMAP \"" + path.string() + "\"\n";
            // Read every file back through the host's decoder as a check.
            gaugehost::Dib back = gaugehost::decode_bmp_file(file);
            if (back.width != entry.width || back.height != entry.height)
                throw std::logic_error("bitmap 0x" + hex_name(entry.id) + " reads back at the wrong size");
            if (!png_dir.empty()) gaugehost::write_png(back, (fs::path(png_dir) / (hex_name(entry.id) + ".png")).string());
            read_back.emplace_back(&entry, std::move(back));
        }
        write_if_changed(dir / "bitmaps.rc", rc);
        if (!sheet.empty()) write_sheet(read_back, sheet);
    } catch (const std::exception& e) {
        std::cerr << "kel-artwork: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

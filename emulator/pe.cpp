#include "pe.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace gaugehost {

std::string hex(uint64_t value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(value));
    return buf;
}

std::string Import::full_name() const {
    std::string out = dll;
    out += '!';
    if (name.empty()) {
        out += '#';
        out += std::to_string(ordinal);
    } else {
        out += name;
    }
    return out;
}

namespace {

// Data directory slots the reader uses.
constexpr int kDirExport = 0, kDirImport = 1, kDirResource = 2, kDirReloc = 5;
constexpr uint16_t kMachineI386 = 0x14C;
constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kRelAbsolute = 0, kRelHighLow = 3;
constexpr uint32_t kMaxSections = 96;
constexpr uint32_t kMaxImageSize = 64u << 20;  // far above any gauge module
constexpr uint32_t kMaxExports = 0x10000;        // export ordinals are 16-bit
constexpr uint32_t kMaxResourceEntries = 0x10000;
constexpr size_t kMaxNameLength = 512;

struct Directory {
    uint32_t rva = 0, size = 0;
};

// Positions found while walking the headers, shared by the later steps.
struct Headers {
    uint32_t pe_offset = 0;
    uint32_t coff_offset = 0;
    uint16_t section_count = 0;
    uint16_t optional_size = 0;
    uint32_t optional_offset = 0;
    Directory dirs[16];
};

// Step 1: the DOS header names where the PE headers start.
void read_dos_header(const ByteReader& file, Headers& h) {
    if (file.size() < 2 || file.u8(0, "DOS signature") != 'M' || file.u8(1, "DOS signature") != 'Z')
        throw Error("not a PE file: no MZ signature at the start");
    h.pe_offset = file.u32(0x3C, "DOS header e_lfanew");
}

// Step 2: "PE\0\0" at the offset the DOS header gives.
void read_pe_signature(const ByteReader& file, Headers& h) {
    if (file.u32(h.pe_offset, "PE signature") != 0x00004550u)
        throw Error("not a PE file: no PE signature at offset " + hex(h.pe_offset));
    h.coff_offset = h.pe_offset + 4;
}

// Step 3: COFF header; only i386 code can run here.
void read_coff_header(const ByteReader& file, Headers& h) {
    uint16_t machine = file.u16(h.coff_offset, "COFF header");
    file.require(h.coff_offset, 20, "COFF header");
    if (machine != kMachineI386)
        throw Error("not an i386 module: COFF machine is " + hex(machine) + ", expected 0x14C");
    h.section_count = file.u16(h.coff_offset + 2, "COFF section count");
    h.optional_size = file.u16(h.coff_offset + 16, "COFF optional header size");
    uint16_t characteristics = file.u16(h.coff_offset + 18, "COFF characteristics");
    if (!(characteristics & 0x2000)) throw Error("not a DLL: COFF characteristics lack the DLL flag");
    if (h.section_count == 0 || h.section_count > kMaxSections)
        throw Error("bad PE file: " + std::to_string(h.section_count) + " sections");
    h.optional_offset = h.coff_offset + 20;
}

// Step 4: PE32 optional header: base, entry, sizes, data directories.
void read_optional_header(const ByteReader& file, Headers& h, PeImage& pe) {
    uint32_t o = h.optional_offset;
    uint16_t magic = file.u16(o, "optional header magic");
    if (magic != kMagicPe32)
        throw Error("not a PE32 module: optional header magic is " + hex(magic) + ", expected 0x10B");
    if (h.optional_size < 96) throw Error("bad PE file: optional header of " + std::to_string(h.optional_size) + " bytes is too small");
    file.require(o, h.optional_size, "optional header");
    pe.entry_rva = file.u32(o + 16, "entry point");
    pe.preferred_base = file.u32(o + 28, "image base");
    pe.section_alignment = file.u32(o + 32, "section alignment");
    pe.file_alignment = file.u32(o + 36, "file alignment");
    pe.size_of_image = file.u32(o + 56, "size of image");
    pe.size_of_headers = file.u32(o + 60, "size of headers");
    uint32_t dir_count = file.u32(o + 92, "data directory count");
    if (pe.size_of_image == 0 || pe.size_of_image > kMaxImageSize)
        throw Error("bad PE file: size of image " + hex(pe.size_of_image) + " is out of range");
    if (pe.preferred_base & 0xFFF) throw Error("bad PE file: image base " + hex(pe.preferred_base) + " is not page aligned");
    if (uint64_t(pe.preferred_base) + pe.size_of_image > 0x100000000ull)
        throw Error("bad PE file: image at " + hex(pe.preferred_base) + " does not fit in 32 bits");
    if (pe.size_of_headers > pe.size_of_image)
        throw Error("bad PE file: size of headers " + hex(pe.size_of_headers) + " exceeds the image");
    file.require(0, pe.size_of_headers, "headers");
    dir_count = std::min<uint32_t>(dir_count, 16);
    if (96 + dir_count * 8 > h.optional_size)
        throw Error("bad PE file: data directories run past the optional header");
    for (uint32_t i = 0; i < dir_count; ++i) {
        h.dirs[i].rva = file.u32(o + 96 + i * 8, "data directory");
        h.dirs[i].size = file.u32(o + 100 + i * 8, "data directory");
    }
}

// Step 5: section table, then the image as the loader lays it out.
void read_sections(const ByteReader& file, const Headers& h, PeImage& pe) {
    uint32_t table = h.optional_offset + h.optional_size;
    file.require(table, uint64_t(h.section_count) * 40, "section table");
    pe.image.assign(pe.size_of_image, 0);
    std::copy_n(file.bytes().begin(), pe.size_of_headers, pe.image.begin());
    for (uint32_t i = 0; i < h.section_count; ++i) {
        uint32_t s = table + i * 40;
        Section sec;
        for (int k = 0; k < 8; ++k) {
            char c = char(file.u8(s + k, "section name"));
            if (c == 0) break;
            sec.name.push_back(c);
        }
        sec.virtual_size = file.u32(s + 8, "section virtual size");
        sec.rva = file.u32(s + 12, "section address");
        sec.raw_size = file.u32(s + 16, "section raw size");
        sec.raw_offset = file.u32(s + 20, "section raw offset");
        sec.characteristics = file.u32(s + 36, "section characteristics");
        uint32_t mapped = std::max(sec.virtual_size, sec.raw_size);
        if (uint64_t(sec.rva) + mapped > pe.size_of_image)
            throw Error("bad PE file: section " + sec.name + " at RVA " + hex(sec.rva) + " (" + hex(mapped) +
                        " bytes) lies outside the image of " + hex(pe.size_of_image) + " bytes");
        if (sec.rva < pe.size_of_headers)
            throw Error("bad PE file: section " + sec.name + " overlaps the headers");
        uint32_t copy = sec.virtual_size ? std::min(sec.raw_size, sec.virtual_size) : sec.raw_size;
        if (copy) {
            if (uint64_t(sec.raw_offset) + copy > file.size())
                throw Error("PE file is truncated: section " + sec.name + " data at offset " + hex(sec.raw_offset) +
                            " (" + std::to_string(copy) + " bytes) lies beyond its end (" +
                            std::to_string(file.size()) + " bytes)");
            std::copy_n(file.bytes().begin() + sec.raw_offset, copy, pe.image.begin() + sec.rva);
        }
        pe.sections.push_back(sec);
    }
}

// A reader over the mapped image, addressed by RVA.
ByteReader image_reader(const PeImage& pe) { return ByteReader(pe.image, "image"); }

// Checks that a data directory lies inside the image.
void check_directory(const PeImage& pe, const Directory& d, const char* name) {
    if (uint64_t(d.rva) + d.size > pe.size_of_image)
        throw Error(std::string("bad PE file: ") + name + " directory at RVA " + hex(d.rva) +
                    " lies outside the image");
}

// Step 6: base relocations; only HIGHLOW (and ABSOLUTE padding) occur in i386 code.
void read_relocations(const Headers& h, PeImage& pe) {
    const Directory& d = h.dirs[kDirReloc];
    if (d.rva == 0 || d.size == 0) return;
    check_directory(pe, d, "base relocation");
    ByteReader img = image_reader(pe);
    uint32_t pos = d.rva, end = d.rva + d.size;
    while (pos + 8 <= end) {
        uint32_t page = img.u32(pos, "relocation block page");
        uint32_t block = img.u32(pos + 4, "relocation block size");
        if (block < 8 || block > end - pos || (block & 1))
            throw Error("bad PE file: relocation block at RVA " + hex(pos) + " has size " + std::to_string(block));
        for (uint32_t e = pos + 8; e + 2 <= pos + block; e += 2) {
            uint16_t entry = img.u16(e, "relocation entry");
            uint16_t type = entry >> 12;
            uint32_t rva = page + (entry & 0xFFF);
            if (type == kRelAbsolute) continue;
            if (type != kRelHighLow)
                throw Error("unsupported relocation type " + std::to_string(type) + " at RVA " + hex(rva) +
                            " (only HIGHLOW and ABSOLUTE)");
            if (uint64_t(rva) + 4 > pe.size_of_image)
                throw Error("relocation outside the image: RVA " + hex(rva) + " beyond the image of " +
                            hex(pe.size_of_image) + " bytes");
            pe.relocations.push_back(rva);
        }
        pos += block;
    }
}

// Step 7: imports by name (or ordinal), each with its IAT slot.
void read_imports(const Headers& h, PeImage& pe) {
    const Directory& d = h.dirs[kDirImport];
    if (d.rva == 0) return;
    check_directory(pe, d, "import");
    ByteReader img = image_reader(pe);
    for (uint32_t desc = d.rva;; desc += 20) {
        uint32_t lookup = img.u32(desc, "import descriptor");
        uint32_t name_rva = img.u32(desc + 12, "import descriptor");
        uint32_t iat = img.u32(desc + 16, "import descriptor");
        if (name_rva == 0 && iat == 0) break;
        std::string dll = img.cstr(name_rva, kMaxNameLength, "import DLL name");
        uint32_t thunks = lookup ? lookup : iat;
        for (uint32_t i = 0;; ++i) {
            uint32_t t = img.u32(thunks + i * 4, "import lookup entry");
            if (t == 0) break;
            Import imp;
            imp.dll = dll;
            imp.iat_rva = iat + i * 4;
            img.require(imp.iat_rva, 4, "import address slot");
            if (t & 0x80000000u)
                imp.ordinal = uint16_t(t);
            else
                imp.name = img.cstr(t + 2, kMaxNameLength, "import name");
            pe.imports.push_back(imp);
        }
    }
}

// Step 8: exports by name and by ordinal, with the directory's DLL name.
void read_exports(const Headers& h, PeImage& pe) {
    const Directory& d = h.dirs[kDirExport];
    if (d.rva == 0) return;
    check_directory(pe, d, "export");
    ByteReader img = image_reader(pe);
    pe.export_dll_name = img.cstr(img.u32(d.rva + 12, "export DLL name"), kMaxNameLength, "export DLL name");
    uint32_t ordinal_base = img.u32(d.rva + 16, "export ordinal base");
    uint32_t function_count = img.u32(d.rva + 20, "export function count");
    uint32_t name_count = img.u32(d.rva + 24, "export name count");
    uint32_t functions = img.u32(d.rva + 28, "export function table");
    uint32_t names = img.u32(d.rva + 32, "export name table");
    uint32_t ordinals = img.u32(d.rva + 36, "export ordinal table");
    if (function_count > kMaxExports || name_count > kMaxExports)
        throw Error("bad PE file: export directory lists " + std::to_string(function_count) + " functions and " +
                    std::to_string(name_count) + " names");
    img.require(functions, uint64_t(function_count) * 4, "export function table");
    img.require(names, uint64_t(name_count) * 4, "export name table");
    img.require(ordinals, uint64_t(name_count) * 2, "export ordinal table");
    std::vector<std::string> name_of(function_count);
    for (uint32_t i = 0; i < name_count; ++i) {
        uint16_t index = img.u16(ordinals + i * 2, "export ordinal");
        if (index >= function_count)
            throw Error("bad PE file: export name " + std::to_string(i) + " names function " +
                        std::to_string(index) + " of " + std::to_string(function_count));
        name_of[index] = img.cstr(img.u32(names + i * 4, "export name"), kMaxNameLength, "export name");
    }
    for (uint32_t i = 0; i < function_count; ++i) {
        uint32_t rva = img.u32(functions + i * 4, "export address");
        if (rva == 0) continue;
        if (rva >= pe.size_of_image)
            throw Error("bad PE file: export " + std::to_string(ordinal_base + i) + " at RVA " + hex(rva) +
                        " lies outside the image");
        pe.exports.push_back({name_of[i], ordinal_base + i, rva});
    }
}

// Step 9: the resource tree, type / id / language, integer ids only.
void read_resources(const Headers& h, PeImage& pe) {
    const Directory& d = h.dirs[kDirResource];
    if (d.rva == 0) return;
    check_directory(pe, d, "resource");
    ByteReader res = image_reader(pe).sub(d.rva, d.size, "resource directory");
    ByteReader img = image_reader(pe);
    // Each level is a table of 8-byte entries; the id sits in the first word.
    // Entries may share subdirectories; a cap on all entries visited keeps a crafted tree finite.
    uint32_t visited = 0;
    auto entries = [&](uint32_t table, int level) {
        static const char* level_names[] = {"type", "id", "language"};
        uint16_t named = res.u16(table + 12, "resource table");
        uint16_t ids = res.u16(table + 14, "resource table");
        res.require(table + 16, (uint64_t(named) + ids) * 8, "resource entries");
        visited += uint32_t(named) + ids;
        if (visited > kMaxResourceEntries)
            throw Error("bad resource tree: more than " + std::to_string(kMaxResourceEntries) + " entries");
        std::vector<std::pair<uint32_t, uint32_t>> out;
        for (uint32_t i = 0; i < uint32_t(named) + ids; ++i) {
            uint32_t id = res.u32(table + 16 + i * 8, "resource entry");
            uint32_t off = res.u32(table + 20 + i * 8, "resource entry");
            if (id & 0x80000000u)
                throw Error(std::string("unsupported resource: a ") + level_names[level] +
                            " given by name, not by integer id");
            out.emplace_back(id, off);
        }
        return out;
    };
    auto subdir = [&](uint32_t off, const char* what) {
        if (!(off & 0x80000000u)) throw Error(std::string("bad resource tree: ") + what + " entry is not a directory");
        return off & 0x7FFFFFFFu;
    };
    for (auto [type, type_off] : entries(0, 0))
        for (auto [id, id_off] : entries(subdir(type_off, "type"), 1))
            for (auto [lang, data_off] : entries(subdir(id_off, "id"), 2)) {
                if (data_off & 0x80000000u)
                    throw Error("bad resource tree: language entry of resource " + hex(id) + " is a directory");
                Resource r{type, id, lang, res.u32(data_off, "resource data entry"),
                           res.u32(data_off + 4, "resource data entry")};
                if (uint64_t(r.data_rva) + r.size > pe.size_of_image)
                    throw Error("bad resource: data of resource type " + std::to_string(type) + " id " + hex(id) +
                                " at RVA " + hex(r.data_rva) + " (" + std::to_string(r.size) +
                                " bytes) lies outside the image");
                (void)img;
                pe.resources.push_back(r);
            }
}

}  // namespace

PeImage read_pe(std::span<const uint8_t> bytes) {
    ByteReader file(bytes, "PE file");
    Headers h;
    PeImage pe;
    read_dos_header(file, h);
    read_pe_signature(file, h);
    read_coff_header(file, h);
    read_optional_header(file, h, pe);
    read_sections(file, h, pe);
    read_relocations(h, pe);
    read_imports(h, pe);
    read_exports(h, pe);
    read_resources(h, pe);
    if (pe.entry_rva >= pe.size_of_image)
        throw Error("bad PE file: entry point RVA " + hex(pe.entry_rva) + " lies outside the image");
    pe.base = pe.preferred_base;
    return pe;
}

PeImage read_pe_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("cannot open module file " + path);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        return read_pe(bytes);
    } catch (const Error& e) {
        throw Error(path + ": " + e.what());
    }
}

const Export* PeImage::find_export(const std::string& name) const {
    for (const Export& e : exports)
        if (e.name == name) return &e;
    return nullptr;
}

const Export* PeImage::find_export(uint32_t ordinal) const {
    for (const Export& e : exports)
        if (e.ordinal == ordinal) return &e;
    return nullptr;
}

const Resource* PeImage::find_resource(uint32_t type, uint32_t id) const {
    for (const Resource& r : resources)
        if (r.type == type && r.id == id) return &r;
    return nullptr;
}

std::span<const uint8_t> PeImage::resource_bytes(const Resource& r) const {
    return std::span<const uint8_t>(image).subspan(r.data_rva, r.size);
}

void PeImage::relocate(uint32_t new_base) {
    uint32_t delta = new_base - base;
    for (uint32_t rva : relocations) put_u32(&image[rva], ByteReader(image, "image").u32(rva, "relocated word") + delta);
    base = new_base;
}

std::string VersionInfo::dotted(uint32_t ms, uint32_t ls) {
    return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16) + "." +
           std::to_string(ls & 0xFFFF);
}

namespace {

// One node of a version resource: length, value length, type, UTF-16 key, value, children.
struct VersionNode {
    std::string key;
    uint32_t value_offset = 0, value_length = 0;  // value_length in bytes
    uint16_t type = 0;
    uint32_t children_offset = 0, end = 0;
};

uint32_t align4(uint32_t v) { return (v + 3) & ~3u; }

std::string utf16_ascii(const ByteReader& r, uint32_t off, uint32_t end, uint32_t* after) {
    std::string s;
    for (;; off += 2) {
        if (off + 2 > end) throw Error("bad version resource: key runs past its block");
        uint16_t c = r.u16(off, "version key");
        if (c == 0) break;
        s.push_back(c < 0x80 ? char(c) : '?');
    }
    if (after) *after = off + 2;
    return s;
}

VersionNode version_node(const ByteReader& r, uint32_t off, uint32_t limit) {
    VersionNode n;
    uint16_t length = r.u16(off, "version block length");
    uint16_t value_length = r.u16(off + 2, "version block");
    n.type = r.u16(off + 4, "version block");
    if (length < 6 || off + length > limit) throw Error("bad version resource: block at " + hex(off) + " has length " + std::to_string(length));
    n.end = off + length;
    uint32_t after_key;
    n.key = utf16_ascii(r, off + 6, n.end, &after_key);
    n.value_offset = align4(after_key);
    n.value_length = n.type == 1 ? value_length * 2u : value_length;
    if (n.value_offset + n.value_length > n.end && n.value_length) throw Error("bad version resource: value of " + n.key + " runs past its block");
    n.children_offset = align4(n.value_offset + n.value_length);
    return n;
}

template <class F>
void each_child(const ByteReader& r, const VersionNode& n, F f) {
    for (uint32_t off = n.children_offset; off + 6 <= n.end;) {
        VersionNode c = version_node(r, off, n.end);
        f(c);
        off = align4(c.end);
    }
}

}  // namespace

std::optional<VersionInfo> PeImage::version() const {
    const Resource* res = find_resource(16, 1);
    if (!res) return std::nullopt;
    ByteReader r(resource_bytes(*res), "version resource");
    VersionNode root = version_node(r, 0, uint32_t(r.size()));
    if (root.key != "VS_VERSION_INFO") throw Error("bad version resource: root key is \"" + root.key + "\"");
    VersionInfo v;
    if (root.value_length < 52) throw Error("bad version resource: fixed part of " + std::to_string(root.value_length) + " bytes");
    uint32_t f = root.value_offset;
    if (r.u32(f, "fixed file info") != 0xFEEF04BDu) throw Error("bad version resource: fixed part signature");
    v.file_version_ms = r.u32(f + 8, "file version");
    v.file_version_ls = r.u32(f + 12, "file version");
    v.product_version_ms = r.u32(f + 16, "product version");
    v.product_version_ls = r.u32(f + 20, "product version");
    v.flags_mask = r.u32(f + 24, "flags mask");
    v.flags = r.u32(f + 28, "flags");
    v.os = r.u32(f + 32, "os");
    v.file_type = r.u32(f + 36, "file type");
    v.file_subtype = r.u32(f + 40, "file subtype");
    each_child(r, root, [&](const VersionNode& info) {
        if (info.key == "StringFileInfo") {
            each_child(r, info, [&](const VersionNode& table) {
                v.string_table = table.key;
                each_child(r, table, [&](const VersionNode& s) {
                    std::string value = s.value_length ? utf16_ascii(r, s.value_offset, s.end, nullptr) : "";
                    v.strings.emplace_back(s.key, value);
                });
            });
        } else if (info.key == "VarFileInfo") {
            each_child(r, info, [&](const VersionNode& var) {
                for (uint32_t o = var.value_offset; o + 4 <= var.value_offset + var.value_length; o += 4)
                    v.translations.push_back(r.u32(o, "translation"));
            });
        }
    });
    return v;
}

}  // namespace gaugehost

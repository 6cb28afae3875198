#include "radar/radar_picture.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <new>
// libjpeg's headers use FILE and size_t from the headers above without including them.
#include <jerror.h>
#include <jpeglib.h>

#include "base/day_time.h"
#include "base/files.h"
#include "base/strings.h"

namespace aerova {
namespace {

constexpr std::uint32_t kRgbMask = 0xFFFFFF;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kBmpHeaderBytes = 14 + 40;
// A decoded picture larger than this (256 MB of pixels) is refused rather than allocated.
constexpr std::size_t kMaxDecodedPixels = std::size_t{1} << 26;

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// libjpeg's error manager with a way back: error_exit jumps to the point set by the coding
// function instead of ending the program, and messages stay off stderr.
struct JpegErrors {
    jpeg_error_mgr manager;  // first, so that libjpeg's pointer is also ours
    std::jmp_buf jump;
};

[[noreturn]] void JumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void Quiet(j_common_ptr) {}

jpeg_error_mgr* InstallErrors(JpegErrors& errors) {
    jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JumpBack;
    errors.manager.output_message = Quiet;
    return &errors.manager;
}

// Compressed data straight into a string. libjpeg's own memory destination cannot be used
// here: after an error its caller cannot tell which of the buffers it grew is still
// allocated.
struct StringDestination {
    jpeg_destination_mgr manager;  // first, as libjpeg sees it
    std::string* out;
    bool noMemory;
    JOCTET buffer[16384];
};

StringDestination& DestinationOf(j_compress_ptr info) {
    return *reinterpret_cast<StringDestination*>(info->dest);
}

void ResetBuffer(StringDestination& dest) {
    dest.manager.next_output_byte = dest.buffer;
    dest.manager.free_in_buffer = sizeof dest.buffer;
}

// Appends, and raises libjpeg's out-of-memory error when the string cannot grow (the jump
// leaves no exception half handled: it happens after the catch).
void Drain(j_compress_ptr info, std::size_t bytes) {
    StringDestination& dest = DestinationOf(info);
    try {
        dest.out->append(reinterpret_cast<const char*>(dest.buffer), bytes);
    } catch (const std::bad_alloc&) {
        dest.noMemory = true;
    }
    if (dest.noMemory) {
        info->err->msg_code = JERR_OUT_OF_MEMORY;
        info->err->error_exit(reinterpret_cast<j_common_ptr>(info));
    }
    ResetBuffer(dest);
}

void InitDestination(j_compress_ptr info) {
    ResetBuffer(DestinationOf(info));
}

boolean EmptyBuffer(j_compress_ptr info) {
    Drain(info, sizeof DestinationOf(info).buffer);  // the whole buffer, whatever is free
    return TRUE;
}

void TermDestination(j_compress_ptr info) {
    StringDestination& dest = DestinationOf(info);
    Drain(info, sizeof dest.buffer - dest.manager.free_in_buffer);
}

// Everything between the jump point and a jump back is plain data: no destructor is skipped.
// `row` holds one line of red, green, blue samples.
bool Compress(const RadarPicture& picture, int quality, JSAMPLE* row, std::string& out) {
    jpeg_compress_struct info{};
    JpegErrors errors{};
    StringDestination dest{};
    dest.out = &out;
    dest.manager.init_destination = InitDestination;
    dest.manager.empty_output_buffer = EmptyBuffer;
    dest.manager.term_destination = TermDestination;
    info.err = InstallErrors(errors);
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    info.dest = &dest.manager;
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    const std::size_t width = static_cast<std::size_t>(picture.width);
    while (info.next_scanline < info.image_height) {
        const std::uint32_t* source = picture.pixels.data() + info.next_scanline * width;
        for (std::size_t x = 0; x < width; ++x) {
            row[3 * x] = static_cast<JSAMPLE>((source[x] >> 16) & 0xFF);
            row[3 * x + 1] = static_cast<JSAMPLE>((source[x] >> 8) & 0xFF);
            row[3 * x + 2] = static_cast<JSAMPLE>(source[x] & 0xFF);
        }
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

// As Compress: plain data only between the jump point and the jumps. The caller's picture
// and row buffer are sized here, outside libjpeg.
bool Decompress(std::string_view bytes, RadarPicture& picture, std::vector<JSAMPLE>& row) {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    info.err = InstallErrors(errors);
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    bool ok = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK;
    if (ok) {
        info.out_color_space = JCS_RGB;
        jpeg_start_decompress(&info);
        const std::size_t width = info.output_width, height = info.output_height;
        ok = info.output_components == 3 && width * height <= kMaxDecodedPixels;
        if (ok) {
            try {
                picture.width = static_cast<int>(width);
                picture.height = static_cast<int>(height);
                picture.pixels.assign(width * height, 0);
                row.assign(3 * width, 0);
            } catch (const std::bad_alloc&) {
                ok = false;
            }
        }
        while (ok && info.output_scanline < info.output_height) {
            std::uint32_t* target = picture.pixels.data() + info.output_scanline * width;
            JSAMPROW rows[1] = {row.data()};
            jpeg_read_scanlines(&info, rows, 1);
            for (std::size_t x = 0; x < width; ++x) {
                target[x] = (std::uint32_t{row[3 * x]} << 16) |
                            (std::uint32_t{row[3 * x + 1]} << 8) | row[3 * x + 2];
            }
        }
        if (ok) jpeg_finish_decompress(&info);
    }
    jpeg_destroy_decompress(&info);
    return ok;
}

}  // namespace

bool IsWholePicture(const RadarPicture& picture) {
    return picture.width >= 0 && picture.height >= 0 &&
           picture.pixels.size() ==
               static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
}

std::string BmpBytes(const RadarPicture& picture) {
    if (!IsWholePicture(picture)) return {};
    const std::size_t count = picture.pixels.size();
    if (count > (std::numeric_limits<std::uint32_t>::max() - kBmpHeaderBytes) / 4) return {};
    const auto imageBytes = static_cast<std::uint32_t>(4 * count);
    std::string out;
    out.reserve(kBmpHeaderBytes + imageBytes);
    // File header.
    out += "BM";
    PutLe(out, kBmpHeaderBytes + imageBytes, 4);
    PutLe(out, 0, 2);
    PutLe(out, 0, 2);
    PutLe(out, kBmpHeaderBytes, 4);
    // Information header; a positive height means the rows run bottom-up.
    PutLe(out, 40, 4);
    PutLe(out, static_cast<std::uint32_t>(picture.width), 4);
    PutLe(out, static_cast<std::uint32_t>(picture.height), 4);
    PutLe(out, 1, 2);   // planes
    PutLe(out, 32, 2);  // bits per pixel
    PutLe(out, 0, 4);   // no compression
    PutLe(out, imageBytes, 4);
    for (int i = 0; i < 4; ++i) PutLe(out, 0, 4);  // resolution and palette fields
    const std::size_t width = static_cast<std::size_t>(picture.width);
    for (std::size_t y = static_cast<std::size_t>(picture.height); y-- > 0;) {
        for (std::size_t x = 0; x < width; ++x) PutLe(out, picture.pixels[y * width + x], 4);
    }
    return out;
}

bool WriteBmp(const std::string& path, const RadarPicture& picture) {
    const std::string bytes = BmpBytes(picture);
    return !bytes.empty() && WriteFileReplacing(path, bytes);
}

std::optional<std::string> EncodeJpeg(const RadarPicture& picture, int quality) {
    if (!IsWholePicture(picture)) return std::nullopt;
    std::vector<JSAMPLE> row(3 * static_cast<std::size_t>(picture.width));
    std::string out;
    if (!Compress(picture, quality, row.data(), out)) return std::nullopt;
    return out;
}

std::optional<RadarPicture> DecodeJpeg(std::string_view bytes) {
    RadarPicture picture;
    std::vector<JSAMPLE> row;
    if (!Decompress(bytes, picture, row)) return std::nullopt;
    return picture;
}

PictureWriteResult WriteJpeg(const std::string& path, const RadarPicture& picture, int quality) {
    const std::optional<std::string> bytes = EncodeJpeg(picture, quality);
    if (!bytes) return {false, Concat({"Cannot encode the picture ", path})};
    if (!WriteFileReplacing(path, *bytes)) {
        return {false, Concat({"Cannot write the picture ", path})};
    }
    return {true, {}};
}

RadarPicture PrintPicture(const RadarPicture& frame, std::uint32_t background, bool blackAndWhite) {
    background &= kRgbMask;
    RadarPicture print = frame;
    for (std::uint32_t& pixel : print.pixels) {
        const std::uint32_t colour = pixel & kRgbMask;
        if (blackAndWhite) {
            pixel = colour == background ? kWhite : kBlack;
        } else if (colour == kWhite) {  // checked first: a white background prints black
            pixel = kBlack;
        } else if (colour == background) {
            pixel = kWhite;
        }
    }
    return print;
}

std::uint32_t PixelFromColourInt(std::int32_t colour) {
    const auto value = static_cast<std::uint32_t>(colour);
    return ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
}

std::string PictureFileName(int tag, double utcNow) {
    return Concat({std::to_string(tag), "-", FormatDateTime("yymmdd-hh.nn.ss", utcNow), ".jpg"});
}

}  // namespace aerova

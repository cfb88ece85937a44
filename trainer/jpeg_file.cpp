#include "trainer/jpeg_file.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "files/safe_write.h"

namespace trainer {
namespace {

constexpr int RgbComponents = 3;

// libjpeg ends the process on an error unless told otherwise: jump back to
// the writer instead, which then gives up quietly.
struct QuietErrors {
    jpeg_error_mgr Manager;
    std::jmp_buf Resume;
};

void JumpBack(j_common_ptr info) { std::longjmp(reinterpret_cast<QuietErrors*>(info->err)->Resume, 1); }

void DropMessage(j_common_ptr) {}

// Kept free of objects with destructors, since an error leaves it by longjmp.
bool Compress(std::FILE* file, const unsigned char* pixels, int width, int height, int rowstride, int channels,
              unsigned char* row, int quality) {
    jpeg_compress_struct info;
    QuietErrors errors;
    info.err = jpeg_std_error(&errors.Manager);
    errors.Manager.error_exit = JumpBack;
    errors.Manager.output_message = DropMessage;
    if (setjmp(errors.Resume) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = RgbComponents;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, FALSE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const unsigned char* source = pixels + static_cast<size_t>(info.next_scanline) * rowstride;
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < RgbComponents; ++c) row[x * RgbComponents + c] = source[x * channels + c];
        }
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

bool WriteJpegFile(GdkPixbuf* picture, const std::string& path, int quality) {
    if (picture == nullptr || gdk_pixbuf_get_colorspace(picture) != GDK_COLORSPACE_RGB ||
        gdk_pixbuf_get_bits_per_sample(picture) != 8) {
        return false;
    }
    const int width = gdk_pixbuf_get_width(picture);
    std::vector<unsigned char> row(static_cast<size_t>(width) * RgbComponents);
    // The picture goes to a temporary file that takes the chosen name only
    // once it is whole: a full disk leaves no cut-off file behind.
    return files::ReplaceFileContents(path, [&](std::FILE* file) {
        return Compress(file, gdk_pixbuf_get_pixels(picture), width, gdk_pixbuf_get_height(picture),
                        gdk_pixbuf_get_rowstride(picture), gdk_pixbuf_get_n_channels(picture), row.data(), quality);
    });
}

}  // namespace trainer

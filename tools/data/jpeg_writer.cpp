#include "jpeg_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>

bool writeJpegFile(const std::string& path, const Canvas& canvas, int quality, std::string* error)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) {
        *error = "cannot write " + path + ": " + strerror(errno);
        return false;
    }
    std::vector<unsigned char> pixels = canvas.bytes();

    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(canvas.width);
    cinfo.image_height = static_cast<JDIMENSION>(canvas.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    for (int c = 0; c < 3; ++c) cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &pixels[static_cast<size_t>(cinfo.next_scanline) * canvas.width * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);

    bool ok = !ferror(file);
    if (fclose(file) != 0) ok = false;
    if (!ok) *error = "cannot write " + path + ": " + strerror(errno);
    return ok;
}

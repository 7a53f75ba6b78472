#include "jpeg_writer.h"

#include "output/whole_file.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <jerror.h>

namespace {

// libjpeg's errors come back here instead of ending the process. A failed
// write keeps the system's reason, which libjpeg's own message leaves out.
struct JpegFailure {
    jpeg_error_mgr manager;
    jmp_buf back;
    int writeError = 0;
};

void onJpegError(j_common_ptr info)
{
    const int code = errno;
    auto* failure = reinterpret_cast<JpegFailure*>(info->err);
    if (info->err->msg_code == JERR_FILE_WRITE) failure->writeError = code ? code : EIO;
    longjmp(failure->back, 1);
}

}  // namespace

bool writeJpegFile(const std::string& path, const Canvas& canvas, int quality, std::string* error)
{
    WholeFile whole(path);
    if (!whole.create(error)) return false;
    std::vector<unsigned char> pixels = canvas.bytes();

    jpeg_compress_struct cinfo;
    JpegFailure failure;
    cinfo.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = onJpegError;
    if (setjmp(failure.back)) {
        char message[JMSG_LENGTH_MAX];
        cinfo.err->format_message(reinterpret_cast<j_common_ptr>(&cinfo), message);
        *error = failure.writeError ? cannotWrite(path, failure.writeError) : "cannot write " + path + ": " + message;
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, whole.file());
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
    return whole.finish(error);
}

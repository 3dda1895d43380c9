// JPEG on Unix-like systems: libjpeg-turbo, the decoder Qt's reader uses there too, called
// directly so that it writes each row where the picture keeps it.
#include "platform/picture/jpeg_decoder.h"

#include "platform/picture/picture_memory.h"

#include <QIODevice>

#include <csetjmp>
#include <cstdio>
#include <memory>

// After <cstdio>: the decoder's header uses FILE without including it.
#include <jpeglib.h>

namespace zorvik::platform {

namespace {

// The decoder's pixel order that lays out a QRgb in memory, with the unused byte set to 255.
constexpr J_COLOR_SPACE rgb32 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

struct Errors : jpeg_error_mgr {
    std::jmp_buf jump;
};

[[noreturn]] void leave(j_common_ptr info)
{
    std::longjmp(static_cast<Errors *>(info->err)->jump, 1);
}

// Warnings (a file cut short, a corrupt stretch of data) leave a picture worth showing, and
// there is nobody at a console to read them.
void keepQuiet(j_common_ptr) {}

constexpr std::size_t chunk = 64 * 1024;

struct Source : jpeg_source_mgr {
    QIODevice *device = nullptr;
    JOCTET buffer[chunk];
};

void startReading(j_decompress_ptr) {}
void stopReading(j_decompress_ptr) {}

boolean fill(j_decompress_ptr info)
{
    auto *source = static_cast<Source *>(info->src);
    const qint64 read = source->device->read(reinterpret_cast<char *>(source->buffer), chunk);
    if (read > 0) {
        source->next_input_byte = source->buffer;
        source->bytes_in_buffer = std::size_t(read);
        return TRUE;
    }
    // A file that breaks off ends as if complete, as the decoder's own guide advises: what is
    // left of the picture then comes out grey.
    static const JOCTET end[] = {0xff, JPEG_EOI};
    source->next_input_byte = end;
    source->bytes_in_buffer = sizeof end;
    return TRUE;
}

void skip(j_decompress_ptr info, long bytes)
{
    auto *source = static_cast<Source *>(info->src);
    while (bytes > long(source->bytes_in_buffer)) {
        bytes -= long(source->bytes_in_buffer);
        fill(info);
    }
    if (bytes > 0) {
        source->next_input_byte += bytes;
        source->bytes_in_buffer -= std::size_t(bytes);
    }
}

// Runs one step of the decoder; false when the decoder gave up on the file. Nothing with a
// destructor may live in a step's frame, since the decoder leaves it by a long jump.
template <typename Step> bool guarded(Errors &errors, const Step &step)
{
    if (setjmp(errors.jump))
        return false;
    step();
    return true;
}

class Decompressor {
public:
    explicit Decompressor(QIODevice &device) : m_source(std::make_unique<Source>())
    {
        info.err = jpeg_std_error(&errors);
        errors.error_exit = leave;
        errors.output_message = keepQuiet;
        m_source->device = &device;
        m_source->init_source = startReading;
        m_source->fill_input_buffer = fill;
        m_source->skip_input_data = skip;
        m_source->resync_to_restart = jpeg_resync_to_restart;
        m_source->term_source = stopReading;
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor &) = delete;
    Decompressor &operator=(const Decompressor &) = delete;

    bool create()
    {
        return guarded(errors, [this] {
            jpeg_create_decompress(&info);
            info.src = m_source.get();
        });
    }

    jpeg_decompress_struct info{};
    Errors errors{};

private:
    std::unique_ptr<Source> m_source;
};

bool hasPlainColours(const jpeg_decompress_struct &info)
{
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        return info.num_components == 1;
    case JCS_YCbCr:
    case JCS_RGB:
        return info.num_components == 3;
    default:
        return false;
    }
}

} // namespace

JpegOutcome decodeJpeg(QIODevice &device, QImage &picture, QSize &size)
{
    Decompressor decoder(device);
    jpeg_decompress_struct &info = decoder.info;
    if (!decoder.create() || !guarded(decoder.errors, [&] { jpeg_read_header(&info, TRUE); }))
        return JpegOutcome::Broken;
    // Qt's reader turns CMYK inks into colours its own way.
    if (!hasPlainColours(info))
        return JpegOutcome::LeftToQt;
    info.out_color_space = rgb32;
    size = QSize(int(info.image_width), int(info.image_height));
    // This read of the header is the one the pixels are made for.
    const qint64 bytes = pictureBytes(size, QImage::Format_RGB32);
    if (bytes < 0 || bytes > largestPictureBytes)
        return JpegOutcome::TooLarge;
    QImage target = allocatePicture(size, QImage::Format_RGB32);
    if (target.isNull())
        return JpegOutcome::LeftToQt;
    uchar *const pixels = target.bits();
    const auto bytesPerLine = std::size_t(target.bytesPerLine());
    const bool decoded = guarded(decoder.errors, [&] {
        jpeg_start_decompress(&info);
        if (int(info.output_width) != size.width() || int(info.output_height) != size.height())
            leave(reinterpret_cast<j_common_ptr>(&info));
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = pixels + info.output_scanline * bytesPerLine;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
    });
    if (!decoded)
        return JpegOutcome::Broken;
    picture = std::move(target);
    return JpegOutcome::Decoded;
}

} // namespace zorvik::platform

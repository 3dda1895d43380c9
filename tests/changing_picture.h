#pragma once

// Pictures that tell the loader one size and hold another: a header rewritten to claim a size,
// and a device whose header changes between two reads, as a file rewritten while it loads does.

#include <QBuffer>
#include <QSize>

namespace changingpicture {

// In an input of the picture fuzz target, what stands before this is served first.
inline const QByteArray laterMarker = QByteArrayLiteral("\n--later--\n");

// |picture|, a PNG or a baseline JPEG, with a header that tells |size|; its pixels stay as few.
inline QByteArray claimingSize(QByteArray picture, QSize size)
{
    const auto put = [&picture](qsizetype at, quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            picture[at + i] = char(value >> (8 * (bytes - 1 - i)));
    };
    if (!picture.startsWith("\x89PNG")) {
        // The frame header: its marker, length and precision, then the height and width.
        const qsizetype frame = picture.indexOf(QByteArray("\xff\xc0", 2));
        put(frame + 5, quint32(size.height()), 2);
        put(frame + 7, quint32(size.width()), 2);
        return picture;
    }
    // The IHDR chunk: its type at 12, the width and height at 16 and 20, its CRC-32 at 29.
    put(16, quint32(size.width()), 4);
    put(20, quint32(size.height()), 4);
    quint32 crc = 0xffffffffu;
    for (const char byte : picture.mid(12, 17)) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    put(29, ~crc, 4);
    return picture;
}

// Serves |first| until it is sought back to its start from its end, as a reader that has read
// it all and reads it again does, and |later| from then on.
class ChangingDevice : public QBuffer {
public:
    ChangingDevice(const QByteArray &first, const QByteArray &later)
        : m_first(first), m_later(later)
    {
        setData(first);
    }

    bool seek(qint64 pos) override
    {
        if (pos == 0 && QBuffer::pos() >= size())
            buffer() = m_later;
        return QBuffer::seek(pos);
    }

private:
    // Kept for a reader that reads a buffer's bytes where they lie, as the JPEG reader does.
    const QByteArray m_first;
    const QByteArray m_later;
};

} // namespace changingpicture

#pragma once

// Pictures that tell the loader one size and hold another: a header rewritten to claim a size,
// and a device whose header changes between two reads, as a file rewritten while it loads does.

#include <QBuffer>
#include <QByteArray>
#include <QSize>

namespace changingpicture {

// In an input of the picture fuzz target, what stands before this is the device's |first| and
// what follows it its |later|.
inline const QByteArray laterMarker = QByteArrayLiteral("\n--later--\n");

inline quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// |picture|, a PNG or a baseline JPEG, with a header that tells |size|; the pixels stay as few
// as they were.
inline QByteArray claimingSize(QByteArray picture, QSize size)
{
    const auto put = [&picture](qsizetype at, quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            picture[at + i] = char(value >> (8 * (bytes - 1 - i)));
    };
    if (picture.startsWith("\x89PNG")) {
        // The IHDR chunk: its type at 12, the width and height at 16 and 20, its CRC at 29.
        put(16, quint32(size.width()), 4);
        put(20, quint32(size.height()), 4);
        put(29, crc32(picture.mid(12, 17)), 4);
    } else {
        // The frame header: its marker, length and precision, then the height and width.
        const qsizetype frame = picture.indexOf(QByteArray("\xff\xc0", 2));
        put(frame + 5, quint32(size.height()), 2);
        put(frame + 7, quint32(size.width()), 2);
    }
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
        if (pos == 0 && QBuffer::pos() >= size() && !m_changed) {
            m_changed = true;
            buffer() = m_later;
        }
        return QBuffer::seek(pos);
    }

private:
    // Kept for a reader that reads a buffer's bytes where they lie, as the JPEG reader does.
    QByteArray m_first;
    QByteArray m_later;
    bool m_changed = false;
};

} // namespace changingpicture

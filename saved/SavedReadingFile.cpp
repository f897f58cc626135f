#include "saved/SavedReadingFile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <cstring>

namespace SavedReading {

namespace {

constexpr qint64 kChunkBytes = 64 * 1024;

// Collects lines from successive chunks; a line end may fall across two chunks.
class LineSplitter final
{
public:
    explicit LineSplitter(Lines &lines) : m_lines(lines) {}

    bool done() const { return m_slot >= kLinesRead; }

    void feed(const char *data, qint64 size)
    {
        const char *p = data;
        const char *const end = data + size;
        while (p < end && !done()) {
            if (m_afterCr) {
                m_afterCr = false;
                if (*p == '\n') { // the LF of a CR LF pair
                    ++p;
                    continue;
                }
            }
            const auto *cr = static_cast<const char *>(std::memchr(p, '\r', static_cast<size_t>(end - p)));
            const char *const stop = cr ? cr : end;
            append(p, stop - p);
            p = stop;
            if (cr) {
                finishLine();
                m_afterCr = true;
                ++p;
            }
        }
    }

    // The last line needs no line end.
    void finish()
    {
        if (!done() && !m_current.isEmpty())
            finishLine();
    }

private:
    void append(const char *data, qint64 size)
    {
        // Past the cap the bytes are only scanned for the line end, never kept.
        const qint64 room = kMaxLineBytes - m_current.size();
        if (room > 0)
            m_current.append(data, static_cast<int>(qMin(room, size)));
    }

    void finishLine()
    {
        m_lines[static_cast<size_t>(m_slot)] = QString::fromLatin1(m_current);
        m_current.clear();
        ++m_slot;
    }

    Lines &m_lines;
    QByteArray m_current;
    int m_slot = 0;
    bool m_afterCr = false;
};

} // namespace

bool passesExtensionTest(const QString &fileName)
{
    return fileName.size() < 3 || fileName.endsWith(QLatin1String("num"), Qt::CaseSensitive);
}

Lines readFirstLines(QIODevice &device)
{
    Lines lines;
    const bool openedHere = !device.isOpen();
    // Binary mode: text mode would fold CR LF and hide lone CRs.
    if (openedHere && !device.open(QIODevice::ReadOnly))
        return lines;
    if (device.isReadable()) {
        LineSplitter splitter(lines);
        char buffer[kChunkBytes];
        qint64 scanned = 0;
        while (!splitter.done() && scanned < kMaxBytesScanned) {
            const qint64 got = device.read(buffer, qMin(kChunkBytes, kMaxBytesScanned - scanned));
            if (got <= 0)
                break;
            scanned += got;
            splitter.feed(buffer, got);
        }
        splitter.finish();
    }
    if (openedHere)
        device.close();
    return lines;
}

Lines readFirstLines(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    QFile file(path);
    return readFirstLines(file);
}

} // namespace SavedReading

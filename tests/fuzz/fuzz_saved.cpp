// Fuzzes the saved-reading reader against a plain reference reader, and checks that the two
// scrambling routines undo each other.
#include "saved/SavedReadingFile.h"
#include "saved/Scramble.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace SavedReading;

namespace {

void check(bool ok, const char *what)
{
    if (!ok) {
        fprintf(stderr, "fuzz_saved: %s\n", what);
        abort();
    }
}

// The line rules written the obvious way, over the whole input at once.
Lines referenceLines(const QByteArray &bytes)
{
    Lines lines;
    const qsizetype limit = std::min<qsizetype>(bytes.size(), kMaxBytesScanned);
    QByteArray current;
    int slot = 0;
    for (qsizetype i = 0; i < limit && slot < kLinesRead; ++i) {
        if (bytes.at(i) == '\r') {
            lines[size_t(slot++)] = QString::fromLatin1(current.left(kMaxLineBytes));
            current.clear();
            if (i + 1 < limit && bytes.at(i + 1) == '\n')
                ++i;
        } else {
            current.append(bytes.at(i));
        }
    }
    if (slot < kLinesRead && !current.isEmpty())
        lines[size_t(slot)] = QString::fromLatin1(current.left(kMaxLineBytes));
    return lines;
}

// Hands out the data in small pieces of varying size, so line ends fall on read boundaries.
class PieceDevice final : public QIODevice
{
public:
    PieceDevice(const QByteArray &data, int piece) : m_data(data), m_piece(piece) {}
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *out, qint64 max) override
    {
        const qint64 n = std::min<qint64>({max, m_piece, m_data.size() - m_pos});
        if (n <= 0)
            return -1;
        std::copy_n(m_data.constData() + m_pos, n, out);
        m_pos += n;
        m_piece = m_piece % 7 + 1;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_pos = 0;
    int m_piece;
};

QString keptCodes(const QString &text, int low, int high)
{
    QString kept;
    for (const QChar ch : text)
        if (ch.unicode() >= low && ch.unicode() <= high)
            kept.append(ch);
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const Lines expected = referenceLines(bytes);
    QBuffer buffer;
    buffer.setData(bytes);
    check(readFirstLines(buffer) == expected, "reader differs from reference (QBuffer)");
    PieceDevice pieces(bytes, size ? data[0] % 7 + 1 : 1);
    check(readFirstLines(pieces) == expected, "reader differs from reference (pieces)");
    for (const QString &line : expected)
        check(line.size() <= kMaxLineBytes && !line.contains(QLatin1Char('\r')), "bad line");

    // Bytes as Latin-1 text, and as UTF-8 for codes beyond the single-byte range.
    for (const QString &text : {QString::fromLatin1(bytes), QString::fromUtf8(bytes)}) {
        const QString plain = keptCodes(text, 0, 170);
        check(ScrambleText(text) == ScrambleText(plain), "scrambling kept a code above 170");
        check(UnscrambleText(ScrambleText(text)) == plain, "round trip of plain text");
        const QString coded = keptCodes(text, 85, 255);
        check(UnscrambleText(text) == UnscrambleText(coded), "unscrambling kept a code below 85");
        check(ScrambleText(UnscrambleText(text)) == coded, "round trip of coded text");
    }
    return 0;
}

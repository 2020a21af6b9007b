#include "platform/xlsx/workbookcheck.h"

#include <QtCore/QFile>

#include <zlib.h>

#include <algorithm>
#include <cstdint>

namespace lg::xlsx {

using namespace Qt::StringLiterals;

namespace {

quint16 u16(const char* p) { return quint16(quint8(p[0]) | quint8(p[1]) << 8); }
quint32 u32(const char* p) { return quint32(u16(p)) | quint32(u16(p + 2)) << 16; }
quint64 u64(const char* p) { return quint64(u32(p)) | quint64(u32(p + 4)) << 32; }

struct Entry {
    QByteArray name;
    quint16 method = 0;
    quint32 crc = 0;
    quint64 compressed = 0, size = 0, offset = 0;
};

// Reads exactly `n` bytes at `at`.
bool readAt(QFile& f, qint64 at, qint64 n, QByteArray& out)
{
    if (!f.seek(at))
        return false;
    out = f.read(n);
    return out.size() == n;
}

bool readDirectory(QFile& f, QList<Entry>& entries, QString& reason)
{
    const qint64 fileSize = f.size();
    const qint64 tailSize = std::min<qint64>(fileSize, 22 + 0xFFFF);
    QByteArray tail;
    if (fileSize < 22 || !readAt(f, fileSize - tailSize, tailSize, tail))
        return reason = u"no zip directory"_s, false;
    qsizetype eocd = -1;
    for (qsizetype i = tail.size() - 22; i >= 0; --i)
        if (u32(tail.constData() + i) == 0x06054b50) {
            eocd = i;
            break;
        }
    if (eocd < 0)
        return reason = u"no zip directory"_s, false;
    const char* e = tail.constData() + eocd;
    quint64 count = u16(e + 10), dirSize = u32(e + 12), dirOffset = u32(e + 16);
    if (count == 0xFFFF || dirSize == 0xFFFFFFFF || dirOffset == 0xFFFFFFFF) {
        // ZIP64: the locator stands just before the end record.
        const qint64 locatorAt = fileSize - tailSize + eocd - 20;
        QByteArray locator, record;
        if (locatorAt < 0 || !readAt(f, locatorAt, 20, locator) || u32(locator.constData()) != 0x07064b50 ||
            !readAt(f, qint64(u64(locator.constData() + 8)), 56, record) || u32(record.constData()) != 0x06064b50)
            return reason = u"no zip64 directory"_s, false;
        count = u64(record.constData() + 32);
        dirSize = u64(record.constData() + 40);
        dirOffset = u64(record.constData() + 48);
    }
    QByteArray dir;
    if (dirOffset + dirSize > quint64(fileSize) || !readAt(f, qint64(dirOffset), qint64(dirSize), dir))
        return reason = u"the zip directory is cut short"_s, false;
    qsizetype at = 0;
    for (quint64 k = 0; k < count; ++k) {
        if (at + 46 > dir.size() || u32(dir.constData() + at) != 0x02014b50)
            return reason = u"the zip directory is cut short"_s, false;
        const char* c = dir.constData() + at;
        Entry entry;
        entry.method = u16(c + 10);
        entry.crc = u32(c + 16);
        entry.compressed = u32(c + 20);
        entry.size = u32(c + 24);
        entry.offset = u32(c + 42);
        const qsizetype nameLength = u16(c + 28), extraLength = u16(c + 30), commentLength = u16(c + 32);
        if (at + 46 + nameLength + extraLength + commentLength > dir.size())
            return reason = u"the zip directory is cut short"_s, false;
        entry.name = dir.mid(at + 46, nameLength);
        // ZIP64 sizes and offset, for the fields that overflowed.
        for (qsizetype x = at + 46 + nameLength; x + 4 <= at + 46 + nameLength + extraLength;) {
            const quint16 id = u16(dir.constData() + x), length = u16(dir.constData() + x + 2);
            const char* v = dir.constData() + x + 4;
            // Each value is read only when the field, and the directory, hold it.
            const char* end = dir.constData() + std::min<qsizetype>(x + 4 + length, dir.size());
            auto next64 = [&](quint64& value) {
                if (v + 8 <= end)
                    value = u64(v), v += 8;
            };
            if (id == 0x0001) {
                if (entry.size == 0xFFFFFFFF)
                    next64(entry.size);
                if (entry.compressed == 0xFFFFFFFF)
                    next64(entry.compressed);
                if (entry.offset == 0xFFFFFFFF)
                    next64(entry.offset);
            }
            x += 4 + length;
        }
        entries.append(entry);
        at += 46 + nameLength + extraLength + commentLength;
    }
    return true;
}

// The name of the root element: the first tag that is no declaration,
// processing instruction or comment.
QByteArray rootName(const QByteArray& head)
{
    qsizetype at = 0;
    while ((at = head.indexOf('<', at)) >= 0) {
        const char next = at + 1 < head.size() ? head.at(at + 1) : '\0';
        if (next != '?' && next != '!') {
            qsizetype end = at + 1;
            while (end < head.size() && !QByteArrayView(" \t\r\n/>").contains(head.at(end)))
                ++end;
            return head.mid(at + 1, end - at - 1);
        }
        ++at;
    }
    return {};
}

bool checkEntry(QFile& f, const Entry& entry, QString& reason)
{
    const QString name = QString::fromUtf8(entry.name);
    QByteArray local;
    if (!readAt(f, qint64(entry.offset), 30, local) || u32(local.constData()) != 0x04034b50)
        return reason = name, false;
    const qint64 dataAt = qint64(entry.offset) + 30 + u16(local.constData() + 26) + u16(local.constData() + 28);
    if (entry.method != 0 && entry.method != 8)
        return true;  // nothing the workbook library writes
    if (!f.seek(dataAt))
        return reason = name, false;

    z_stream z{};
    if (entry.method == 8 && inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return reason = name, false;
    struct End {
        z_stream& z;
        bool active;
        ~End()
        {
            if (active)
                inflateEnd(&z);
        }
    } end{z, entry.method == 8};

    constexpr qsizetype kKeep = 256;
    QByteArray head, tailBytes;
    uLong crc = crc32(0, nullptr, 0);
    quint64 produced = 0, remaining = entry.compressed;
    QByteArray in, out(1 << 16, Qt::Uninitialized);
    auto take = [&](const char* data, qsizetype n) {
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data), uInt(n));
        produced += quint64(n);
        if (head.size() < kKeep)
            head += QByteArrayView(data, std::min(n, kKeep - head.size()));
        tailBytes += QByteArrayView(data, n);
        if (tailBytes.size() > 2 * kKeep)
            tailBytes = tailBytes.right(kKeep);
    };
    bool streamEnded = entry.method == 0;
    while (remaining > 0) {
        in = f.read(qint64(std::min<quint64>(remaining, 1 << 16)));
        if (in.isEmpty())
            return reason = name, false;
        remaining -= quint64(in.size());
        if (entry.method == 0) {
            take(in.constData(), in.size());
            continue;
        }
        z.next_in = reinterpret_cast<Bytef*>(in.data());
        z.avail_in = uInt(in.size());
        while (z.avail_in > 0 && !streamEnded) {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = uInt(out.size());
            const int rc = inflate(&z, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
                return reason = name, false;
            take(out.constData(), out.size() - qsizetype(z.avail_out));
            if (rc == Z_STREAM_END)
                streamEnded = true;
            else if (rc == Z_BUF_ERROR)
                break;
        }
    }
    // What is still held back once the input is all given.
    while (!streamEnded) {
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = uInt(out.size());
        const int rc = inflate(&z, Z_FINISH);
        take(out.constData(), out.size() - qsizetype(z.avail_out));
        if (rc == Z_STREAM_END)
            streamEnded = true;
        else if (rc != Z_OK && rc != Z_BUF_ERROR)
            return reason = name, false;
        else if (z.avail_out != 0)
            return reason = name, false;  // no more output, and no end
    }
    if (produced != entry.size || crc != entry.crc)
        return reason = name, false;

    if (name.endsWith(u".xml"_s, Qt::CaseInsensitive) || name.endsWith(u".rels"_s, Qt::CaseInsensitive)) {
        const QByteArray root = rootName(head);
        const QByteArray last = tailBytes.trimmed();
        const QByteArray closing = QByteArray("</").append(root).append('>');
        const bool closed =
            !root.isEmpty() && (last.endsWith(closing) || (produced <= quint64(kKeep) && last.endsWith("/>")));
        if (!closed)
            return reason = name, false;
    }
    return true;
}

}  // namespace

bool workbookComplete(const QString& path, QString& reason)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return reason = f.errorString(), false;
    QList<Entry> entries;
    if (!readDirectory(f, entries, reason))
        return false;
    if (entries.isEmpty())
        return reason = u"no parts"_s, false;
    for (const Entry& entry : entries)
        if (!checkEntry(f, entry, reason))
            return false;
    return true;
}

}  // namespace lg::xlsx

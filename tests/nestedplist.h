#ifndef NESTEDPLIST_H
#define NESTEDPLIST_H

#include <QByteArray>
#include <QVector>

// Property lists of arrays nested depth levels deep, each array holding the next, the innermost
// holding one string: made here, as no tool writes them that deep.
inline QByteArray nestedXmlPlist(int depth)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">"
           + QByteArray("<array>").repeated(depth) + "<string>in</string>" + QByteArray("</array>").repeated(depth)
           + "</plist>\n";
}

// In the binary form each array may refer to the next more than once (refs), which libplist
// unfolds into that many copies; with loop the innermost array refers back to the outermost.
inline QByteArray nestedBinaryPlist(int depth, int refs = 1, bool loop = false)
{
    const auto append = [](QByteArray &bytes, quint64 value, int width) {
        for (int shift = 8 * (width - 1); shift >= 0; shift -= 8)
            bytes.append(char((value >> shift) & 0xff));
    };
    QByteArray bytes("bplist00");
    QVector<quint64> offsets;
    for (int level = 0; level < depth; ++level) {
        offsets << quint64(bytes.size());
        bytes.append(char(0xA0 | refs));
        for (int i = 0; i < refs; ++i)
            append(bytes, loop && level == depth - 1 ? 0 : quint64(level + 1), 4);
    }
    offsets << quint64(bytes.size());
    bytes.append("\x52in", 3);
    const quint64 table = quint64(bytes.size());
    for (quint64 offset : offsets)
        append(bytes, offset, 4);
    bytes.append(QByteArray(6, '\0'));
    bytes.append(char(4)).append(char(4));
    append(bytes, quint64(offsets.size()), 8);
    append(bytes, 0, 8);
    append(bytes, table, 8);
    return bytes;
}

#endif

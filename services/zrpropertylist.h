#ifndef ZRPROPERTYLIST_H
#define ZRPROPERTYLIST_H

#include <plist/plist.h>

#include <cstddef>

// Every property list, XML or binary, is parsed here. libplist recurses once per level of nesting
// while it parses and again while it frees, so a deep enough list overflows the stack; and it makes
// a node for every reference of a binary list, so containers that share each other unfold without
// end. Both are measured first, without recursion, and a list beyond what any real one needs is
// refused.
class ZrPropertyList
{
public:
    // Levels of arrays and dictionaries (in XML, of elements) a list may have.
    static constexpr int MaxDepth = 64;

    // The parsed list, to be freed with plist_free; null when the bytes are no property list, nest
    // deeper than MaxDepth or (binary) unfold to more nodes than they have bytes.
    static plist_t fromMemory(const char *data, size_t size);
    // For an XML list read with another parser that builds its tree by recursion: true when the
    // text parses and nests no deeper than MaxDepth.
    static bool xmlWithinDepth(const char *data, size_t size);

private:
    static bool binaryWithinLimits(const unsigned char *data, size_t size);
};

#endif

#include "services/zrpropertylist.h"

#include "services/zrxmldepth.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

// A big-endian unsigned number of width bytes (1 to 8).
uint64_t bigEndian(const unsigned char *bytes, unsigned width)
{
    uint64_t value = 0;
    for (unsigned i = 0; i < width; ++i)
        value = value << 8 | bytes[i];
    return value;
}

}

plist_t ZrPropertyList::fromMemory(const char *data, size_t size)
{
    // libplist takes a 32-bit length; a list near that size is no real one anyway.
    if (!data || size == 0 || size > size_t(INT_MAX))
        return nullptr;
    const bool binary = plist_is_binary(data, uint32_t(size));
    if (binary ? !binaryWithinLimits(reinterpret_cast<const unsigned char *>(data), size)
               : !xmlWithinDepth(data, size))
        return nullptr;
    plist_t root = nullptr;
    plist_from_memory(data, uint32_t(size), &root);
    return root;
}

bool ZrPropertyList::xmlWithinDepth(const char *data, size_t size)
{
    // Text the stream reader refuses is not measured to its end, so it is refused as well.
    QXmlStreamReader reader(QByteArray::fromRawData(data, int(size)));
    return ZrXmlDepth::within(reader, MaxDepth) && !reader.hasError();
}

bool ZrPropertyList::binaryWithinLimits(const unsigned char *data, size_t size)
{
    // The trailer: offset and reference widths, the object count, the top object and where the
    // offset table starts. Objects refer to each other by index, so sharing and cycles are possible:
    // each object's height and the number of nodes it unfolds to are kept once known, and an object
    // met again while open is a cycle. libplist makes a node for every reference, so a list whose
    // containers share each other unfolds to more nodes than the file has bytes only when built to.
    const size_t trailerSize = 32;
    if (size < 8 + trailerSize)
        return false;
    const unsigned char *trailer = data + size - trailerSize;
    const unsigned offsetSize = trailer[6];
    const unsigned refSize = trailer[7];
    const uint64_t objectCount = bigEndian(trailer + 8, 8);
    const uint64_t top = bigEndian(trailer + 16, 8);
    const uint64_t tableOffset = bigEndian(trailer + 24, 8);
    const size_t end = size - trailerSize;
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8 || top >= objectCount
        || tableOffset >= end || objectCount > (end - tableOffset) / offsetSize)
        return false;

    const uint16_t open = UINT16_MAX;
    std::vector<uint16_t> heights(objectCount, 0);  // 0: not met yet
    std::vector<uint64_t> nodes(objectCount, 0);
    struct Container
    {
        uint64_t object;
        size_t refs;  // where its references start
        uint64_t count;
        uint64_t next;
        uint16_t height;
        uint64_t nodes;
    };
    std::vector<Container> stack;

    // Adds a known object to the container that refers to it.
    const auto count = [&](uint64_t object, uint16_t &height, uint64_t &total) {
        height = std::max<uint16_t>(height, uint16_t(heights[object] + 1));
        total += nodes[object];
        return total <= size;
    };
    // A container not met yet goes on the stack; anything else is a leaf.
    const auto visit = [&](uint64_t object, uint16_t &height, uint64_t &total) {
        if (object >= objectCount || heights[object] == open)
            return false;
        if (heights[object] != 0)
            return count(object, height, total);
        const uint64_t offset = bigEndian(data + tableOffset + object * offsetSize, offsetSize);
        if (offset >= end)
            return false;
        const unsigned type = data[offset] >> 4;
        if (type != 0xA && type != 0xC && type != 0xD) {
            heights[object] = 1;
            nodes[object] = 1;
            return count(object, height, total);
        }
        uint64_t entries = data[offset] & 0x0f;
        size_t refs = size_t(offset) + 1;
        if (entries == 0x0f) {
            // The count follows as an integer object of 1, 2, 4 or 8 bytes.
            if (refs >= end || data[refs] >> 4 != 0x1 || (data[refs] & 0x0f) > 3)
                return false;
            const unsigned width = 1u << (data[refs] & 0x0f);
            if (refs + 1 + width > end)
                return false;
            entries = bigEndian(data + refs + 1, width);
            refs += 1 + width;
        }
        // A dictionary refers to its keys, then to its values.
        if (type == 0xD && entries > UINT64_MAX / 2)
            return false;
        const uint64_t refCount = type == 0xD ? entries * 2 : entries;
        if (refCount > (end - refs) / refSize || stack.size() >= size_t(MaxDepth))
            return false;
        heights[object] = open;
        stack.push_back({object, refs, refCount, 0, 1, 1});
        return true;
    };

    uint16_t height = 0;
    uint64_t total = 0;
    if (!visit(top, height, total))
        return false;
    while (!stack.empty()) {
        Container &container = stack.back();
        if (container.next < container.count) {
            const uint64_t child = bigEndian(data + container.refs + container.next * refSize, refSize);
            ++container.next;
            if (!visit(child, container.height, container.nodes))
                return false;
            continue;
        }
        // Its level above plus what hangs below it.
        if (stack.size() - 1 + container.height > size_t(MaxDepth))
            return false;
        heights[container.object] = container.height;
        nodes[container.object] = container.nodes;
        const uint64_t object = container.object;
        stack.pop_back();
        if (!stack.empty() && !count(object, stack.back().height, stack.back().nodes))
            return false;
    }
    return true;
}

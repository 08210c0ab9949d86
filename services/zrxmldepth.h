#ifndef ZRXMLDEPTH_H
#define ZRXMLDEPTH_H

class QXmlStreamReader;

// How deep the elements of a text nest, measured by streaming: no depth costs stack, unlike the
// DOM and libplist parsers that build a tree by recursion.
class ZrXmlDepth
{
public:
    // Reads to the end, or to the first element deeper than limit; true when there was none. A
    // text that does not parse stops the reading early: the reader's error tells.
    static bool within(QXmlStreamReader &reader, int limit);
};

#endif

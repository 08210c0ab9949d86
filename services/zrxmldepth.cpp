#include "services/zrxmldepth.h"

#include <QXmlStreamReader>

bool ZrXmlDepth::within(QXmlStreamReader &reader, int limit)
{
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > limit)
            return false;
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return true;
}

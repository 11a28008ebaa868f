// An RTF document read into a text document, and written back.
#include "FuzzCase.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <QTextDocument>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray rtf(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    if (RtfReader::read(rtf, &document))
        RtfWriter::write(document);
    return 0;
}

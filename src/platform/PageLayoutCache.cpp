#include "platform/PageLayoutCache.h"
#include "platform/PageLayout.h"

#include <QPrinter>
#include <QTextDocument>

bool PageLayoutCache::Key::operator==(const Key &other) const
{
    // A document deleted and another made at its address is told apart by the guard.
    return document && document == other.document && revision == other.revision &&
           defaultFont == other.defaultFont && device == other.device &&
           printableArea == other.printableArea && resolution == other.resolution && margins == other.margins;
}

PageLayoutCache::Key PageLayoutCache::keyOf(const QTextDocument &document, QPrinter &printer,
                                            const QMarginsF &marginsInches)
{
    // The revision grows with every change of text or format, undo or not.
    return Key{&document,
               document.revision(),
               document.defaultFont(),
               &printer,
               printer.pageRect(QPrinter::DevicePixel).size(),
               printer.resolution(),
               marginsInches};
}

std::shared_ptr<const PageLayout> PageLayoutCache::layout(const QTextDocument &document, QPrinter &printer,
                                                          const QMarginsF &marginsInches)
{
    Key key = keyOf(document, printer, marginsInches);
    if (m_layout && key == m_key)
        return m_layout;
    // The old copy of the document goes before the new one is made.
    m_layout.reset();
    m_layout = std::make_shared<const PageLayout>(document, printer, marginsInches);
    m_key = std::move(key);
    return m_layout;
}

void PageLayoutCache::clear()
{
    m_layout.reset();
    m_key = Key();
}

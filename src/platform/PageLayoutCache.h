#pragma once

#include <QFont>
#include <QMarginsF>
#include <QPointer>
#include <QSizeF>
#include <memory>

class PageLayout;
class QPaintDevice;
class QPrinter;
class QTextDocument;

// The page layout made last, handed out again while the document, the printer's
// page and the margins stay as they were. Laying out a long document takes
// longer than drawing it, and the preview, the print dialog's page count and the
// printing all need the same pages.
class PageLayoutCache
{
public:
    // The document laid out for the printer's printable area as it is now.
    std::shared_ptr<const PageLayout> layout(const QTextDocument &document, QPrinter &printer,
                                             const QMarginsF &marginsInches);
    // Lets the kept layout (a copy of the document) go.
    void clear();

private:
    struct Key
    {
        QPointer<const QTextDocument> document; // null once the document is gone
        int revision = -1;
        QFont defaultFont;
        const QPaintDevice *device = nullptr;
        QSizeF printableArea;
        int resolution = 0;
        QMarginsF margins;
        bool operator==(const Key &other) const;
    };
    static Key keyOf(const QTextDocument &document, QPrinter &printer, const QMarginsF &marginsInches);

    Key m_key;
    std::shared_ptr<const PageLayout> m_layout;
};

#pragma once

#include "core/ModuleLines.h"

#include <QByteArrayView>

// A reader of a module's verse lines that looks at their bytes before it
// decodes them (ModuleLines::appendText): the verse reader passes over, unsplit,
// the lines before the place it names, and hands it the verse lines from there.
class RawLineVisitor
{
public:
    virtual ~RawLineVisitor() = default;

    // Called once, before any line, with the module's code page.
    virtual void Start(int codePage) = 0;
    // The offset (at least from) where the next line worth a look may hold
    // something: the lines that end before it are passed over. The size of the
    // bytes ends the reading; it is called with from = the size at the end.
    virtual qsizetype NextCandidate(QByteArrayView bytes, qsizetype from) = 0;
    // A verse line (well formed, with a text field); false stops the reading.
    virtual bool Visit(const ModuleLines::Line &line) = 0;
};

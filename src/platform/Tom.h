#pragma once

#include <QtGlobal>

// Values of the Text Object Model as callers pass and receive them: switches are
// tomTrue/tomFalse, an unknown or mixed value is tomUndefined.
namespace Tom {
constexpr int tomFalse = 0;
constexpr int tomTrue = -1;
constexpr int tomUndefined = -9999999;
constexpr int tomToggle = -9999998;
constexpr int tomAutoColor = -9999997;

// Collapse
constexpr int tomEnd = 0;
constexpr int tomStart = 32;

// Counts for FindText
constexpr int tomForward = 0x3FFFFFFF;
constexpr int tomBackward = -0x3FFFFFFF;

// FindText flags
constexpr int tomMatchWord = 2;
constexpr int tomMatchCase = 4;

// Paragraph alignment
constexpr int tomAlignLeft = 0;
constexpr int tomAlignCenter = 1;
constexpr int tomAlignRight = 2;
constexpr int tomAlignJustify = 3;

// Underline kinds
constexpr int tomNone = 0;
constexpr int tomSingle = 1;
constexpr int tomWords = 2;
constexpr int tomDouble = 3;
constexpr int tomDotted = 4;
constexpr int tomDash = 5;
constexpr int tomDashDot = 6;
constexpr int tomDashDotDot = 7;
constexpr int tomWave = 8;

// Open and Save: a file format in the low four bits, a creation mode in the next four.
constexpr int tomFormatMask = 0x0F;
constexpr int tomRTF = 0x1;
constexpr int tomText = 0x2;
constexpr int tomHTML = 0x3;
constexpr int tomWordDocument = 0x4;
constexpr int tomCreationMask = 0xF0;
constexpr int tomCreateNew = 0x10;
constexpr int tomCreateAlways = 0x20;
constexpr int tomOpenExisting = 0x30;
constexpr int tomOpenAlways = 0x40;
constexpr int tomTruncateExisting = 0x50;

// Raised when a range outlives its document or a selection its window.
constexpr qint32 ObjectReleasedError = qint32(0x800401FDu);

constexpr double TwipsPerPoint = 20.0;
} // namespace Tom

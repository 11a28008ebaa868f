#pragma once

#include "abi/VxHelpersAbi.h"

#include <QString>

// Binds the helper library libVxHelpers.so, loaded from the program folder.
namespace RichTextHelpers_ {

// The library's exports. Never null: when the library or an export is missing,
// the entry is a stand-in that changes nothing and returns E_FAIL (0 for CreateRtfWindow).
struct Exports
{
    VxAbi::CreateRtfWindowFn CreateRtfWindow;
    VxAbi::GetMsgInfoFn GetMsgInfo;
    VxAbi::SetMsgInfoFn SetMsgInfo;
    VxAbi::SetMsgRetValFn SetMsgRetVal;
    VxAbi::GetDataObjectFn GetDataObject;
    VxAbi::ClearDataObjectFn ClearDataObject;
    VxAbi::FixSpacesAndDashesFn FixSpacesAndDashes;
    VxAbi::SmartQuotesFn SmartQuotes;
};

// The first call of the run registers the rich-edit window class, loads the
// library and binds every export, reporting a failure once through the desktop;
// later calls only answer. True when every export is bound.
bool LoadRichEditLibraries();
// The bound exports; loads the library first when that has not happened yet.
const Exports &exports();
// Where the library is loaded from.
QString libraryPath();

// Both leave the text unchanged when the library is not there.
void SmartQuotes(QString &text, const QString &quotes);
void FixSpacesAndDashes(QString &text);

} // namespace RichTextHelpers_

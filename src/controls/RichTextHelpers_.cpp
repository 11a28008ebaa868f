#include "controls/RichTextHelpers_.h"

#include "platform/AppInfo.h"
#include "platform/Desktop.h"
#include "platform/RichEditWidget.h"

#include <QDir>
#include <QLibrary>
#include <QStringList>
#include <limits>

namespace {

// Stand-ins for exports that could not be bound: every caller fails safely.
VxAbi::HWND missingCreateRtfWindow(void *, VxAbi::HWND, void **)
{
    return 0;
}

VxAbi::HRESULT missingGetMsgInfo(VxAbi::HWND *hwndFrom, uint32_t *code, uint32_t *msg, VxAbi::WPARAM *wParam,
                                 VxAbi::LPARAM *lParam)
{
    if (hwndFrom)
        *hwndFrom = 0;
    if (code)
        *code = 0;
    if (msg)
        *msg = 0;
    if (wParam)
        *wParam = 0;
    if (lParam)
        *lParam = 0;
    return VxAbi::E_FAIL;
}

VxAbi::HRESULT missingSetMsgInfo(VxAbi::HWND, uint32_t, uint32_t, VxAbi::WPARAM, VxAbi::LPARAM,
                                 VxAbi::LRESULT)
{
    return VxAbi::E_FAIL;
}

VxAbi::HRESULT missingSetMsgRetVal(VxAbi::HWND, uint32_t, uint32_t, VxAbi::LRESULT)
{
    return VxAbi::E_FAIL;
}

VxAbi::HRESULT missingGetDataObject(const char *, uint32_t, VxAbi::DataObject **object)
{
    if (object)
        *object = nullptr;
    return VxAbi::E_FAIL;
}

VxAbi::HRESULT missingClearDataObject()
{
    return VxAbi::E_FAIL;
}

VxAbi::HRESULT missingFixSpacesAndDashes(char16_t *, int32_t *)
{
    return VxAbi::E_FAIL;
}

VxAbi::HRESULT missingSmartQuotes(char16_t *, int32_t, const char16_t *, int32_t)
{
    return VxAbi::E_FAIL;
}

constexpr RichTextHelpers_::Exports StandIns = {
    missingCreateRtfWindow, missingGetMsgInfo,      missingSetMsgInfo,         missingSetMsgRetVal,
    missingGetDataObject,   missingClearDataObject, missingFixSpacesAndDashes, missingSmartQuotes,
};

struct Binding
{
    bool attempted = false;
    bool complete = false;
    RichTextHelpers_::Exports exports = StandIns;
};

Binding &binding()
{
    static Binding state;
    return state;
}

// Replaces the stand-in by the export of that name, or notes that the library lacks it.
template <typename Function>
void bind(QLibrary &library, const char *name, Function &entry, QStringList &missing)
{
    if (QFunctionPointer found = library.resolve(name))
        entry = reinterpret_cast<Function>(found);
    else
        missing << QString::fromLatin1(name);
}

void reportFailure(const QString &text)
{
    desktop().messageBox(text, MsgBoxStyle::Critical, QString());
}

void loadOnce(Binding &state)
{
    state.attempted = true;
    // CreateRtfWindow makes the pane's window by this class name.
    RichEditWidget::registerClass();
    // Never unloaded: windows made by the library live until the program ends.
    static QLibrary library;
    library.setFileName(RichTextHelpers_::libraryPath());
    if (!library.load()) {
        reportFailure(QStringLiteral("The helper library could not be loaded:\r\n%1\r\n\r\n%2")
                          .arg(QDir::toNativeSeparators(library.fileName()), library.errorString()));
        return;
    }
    RichTextHelpers_::Exports &exports = state.exports;
    QStringList missing;
    bind(library, "CreateRtfWindow", exports.CreateRtfWindow, missing);
    bind(library, "GetMsgInfo", exports.GetMsgInfo, missing);
    bind(library, "SetMsgInfo", exports.SetMsgInfo, missing);
    bind(library, "SetMsgRetVal", exports.SetMsgRetVal, missing);
    bind(library, "GetDataObject", exports.GetDataObject, missing);
    bind(library, "ClearDataObject", exports.ClearDataObject, missing);
    bind(library, "FixSpacesAndDashes", exports.FixSpacesAndDashes, missing);
    bind(library, "SmartQuotes", exports.SmartQuotes, missing);
    if (!missing.isEmpty()) {
        reportFailure(
            QStringLiteral("The helper library\r\n%1\r\nlacks the function(s) %2.")
                .arg(QDir::toNativeSeparators(library.fileName()), missing.join(QStringLiteral(", "))));
        return;
    }
    state.complete = true;
}

} // namespace

namespace RichTextHelpers_ {

bool LoadRichEditLibraries()
{
    Binding &state = binding();
    if (!state.attempted)
        loadOnce(state);
    return state.complete;
}

const Exports &exports()
{
    LoadRichEditLibraries();
    return binding().exports;
}

QString libraryPath()
{
    return AppInfo::programFolder() + QStringLiteral("libVxHelpers.so");
}

void SmartQuotes(QString &text, const QString &quotes)
{
    if (text.size() > std::numeric_limits<int32_t>::max())
        return;
    exports().SmartQuotes(reinterpret_cast<char16_t *>(text.data()), int32_t(text.size()),
                          reinterpret_cast<const char16_t *>(quotes.constData()), int32_t(quotes.size()));
}

void FixSpacesAndDashes(QString &text)
{
    if (text.size() > std::numeric_limits<int32_t>::max())
        return;
    const int32_t oldLength = int32_t(text.size());
    int32_t length = oldLength;
    if (exports().FixSpacesAndDashes(reinterpret_cast<char16_t *>(text.data()), &length) != VxAbi::S_OK)
        return;
    if (length >= 0 && length < oldLength)
        text.truncate(length);
}

} // namespace RichTextHelpers_

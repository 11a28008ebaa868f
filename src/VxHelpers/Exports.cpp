// The plain C entry points of libVxHelpers.so; everything else stays hidden.

#include "VxHelpers/NotificationStack.h"
#include "VxHelpers/RtfDataObject.h"
#include "VxHelpers/RtfWindowFactory.h"
#include "VxHelpers/SubclassTable.h"
#include "VxHelpers/Typography.h"
#include "abi/VxHelpersAbi.h"

#include <QTextEdit>
#include <QtGlobal>
#include <type_traits>

using VxAbi::HRESULT;
using VxAbi::HWND;
using VxAbi::LPARAM;
using VxAbi::LRESULT;
using VxAbi::WPARAM;

extern "C" {

Q_DECL_EXPORT HWND CreateRtfWindow(void *owner, HWND host, void **document)
{
    if (!owner || !document)
        return 0;
    QWidget *hostWidget = RtfWindowFactory::widgetFromHandle(host);
    if (!hostWidget)
        return 0;
    QTextEdit *editor = RtfWindowFactory::create(hostWidget);
    if (editor) {
        if (QObject *tom = RtfWindowFactory::document(editor))
            *document = tom;
    }
    SubclassTable::instance().insert(hostWidget, editor);
    return reinterpret_cast<HWND>(static_cast<QWidget *>(editor));
}

Q_DECL_EXPORT HRESULT GetMsgInfo(HWND *hwndFrom, uint32_t *code, uint32_t *msg, WPARAM *wParam,
                                 LPARAM *lParam)
{
    return NotificationStack::instance().getInfo(hwndFrom, code, msg, wParam, lParam);
}

Q_DECL_EXPORT HRESULT SetMsgInfo(HWND hwndFrom, uint32_t code, uint32_t msg, WPARAM wParam, LPARAM lParam,
                                 LRESULT result)
{
    return NotificationStack::instance().setInfo(hwndFrom, code, msg, wParam, lParam, result);
}

Q_DECL_EXPORT HRESULT SetMsgRetVal(HWND hwndFrom, uint32_t code, uint32_t msg, LRESULT result)
{
    return NotificationStack::instance().setRetVal(hwndFrom, code, msg, result);
}

Q_DECL_EXPORT HRESULT GetDataObject(const char *rtf, uint32_t size, VxAbi::DataObject **object)
{
    RtfDataObject &data = RtfDataObject::instance();
    data.keep(rtf, size);
    if (!object)
        return VxAbi::E_POINTER;
    *object = data.object();
    return VxAbi::S_OK;
}

Q_DECL_EXPORT HRESULT ClearDataObject()
{
    RtfDataObject::instance().clear();
    return VxAbi::S_OK;
}

Q_DECL_EXPORT HRESULT SmartQuotes(char16_t *text, int32_t length, const char16_t *quotes, int32_t quoteCount)
{
    return Typography::smartQuotes(text, length, quotes, quoteCount);
}

Q_DECL_EXPORT HRESULT FixSpacesAndDashes(char16_t *text, int32_t *length)
{
    return Typography::fixSpacesAndDashes(text, length);
}

Q_DECL_EXPORT uint32_t SubclassTableCount()
{
    return uint32_t(SubclassTable::instance().size());
}

} // extern "C"

// The program calls these through the ABI's types: keep both sides in step.
static_assert(std::is_same_v<decltype(&CreateRtfWindow), VxAbi::CreateRtfWindowFn>);
static_assert(std::is_same_v<decltype(&GetMsgInfo), VxAbi::GetMsgInfoFn>);
static_assert(std::is_same_v<decltype(&SetMsgInfo), VxAbi::SetMsgInfoFn>);
static_assert(std::is_same_v<decltype(&SetMsgRetVal), VxAbi::SetMsgRetValFn>);
static_assert(std::is_same_v<decltype(&GetDataObject), VxAbi::GetDataObjectFn>);
static_assert(std::is_same_v<decltype(&ClearDataObject), VxAbi::ClearDataObjectFn>);
static_assert(std::is_same_v<decltype(&SmartQuotes), VxAbi::SmartQuotesFn>);
static_assert(std::is_same_v<decltype(&FixSpacesAndDashes), VxAbi::FixSpacesAndDashesFn>);
static_assert(std::is_same_v<decltype(&SubclassTableCount), VxAbi::SubclassTableCountFn>);

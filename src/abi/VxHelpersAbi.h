#pragma once

// What the program and the helper library libVxHelpers.so share: the exported
// function types, result codes, notification and message codes, and the marker
// by which the library announces a notification to the pane that hosts it.
// Plain C types only; handles are pointer-sized.

#include <cstdint>

namespace VxAbi {

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = int32_t(0x80004001u);
constexpr HRESULT E_FAIL = int32_t(0x80004005u);
constexpr HRESULT E_UNEXPECTED = int32_t(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = int32_t(0x8007000Eu);
constexpr HRESULT E_NOINTERFACE = int32_t(0x80004002u);
constexpr HRESULT E_POINTER = int32_t(0x80004003u);
constexpr HRESULT E_INVALIDARG = int32_t(0x80070057u);
constexpr HRESULT DV_E_FORMATETC = int32_t(0x80040064u);

// Window handles are QWidget pointers passed as integers of pointer size.
using HWND = uintptr_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

// Messages.
constexpr uint32_t WM_NOTIFY = 0x004E;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;

// Key-state flags of mouse messages (low word of wParam).
constexpr uint32_t MK_LBUTTON = 0x0001;
constexpr uint32_t MK_RBUTTON = 0x0002;
constexpr uint32_t MK_SHIFT = 0x0004;
constexpr uint32_t MK_CONTROL = 0x0008;
constexpr uint32_t MK_MBUTTON = 0x0010;

// Notification codes of the rich-edit window.
constexpr uint32_t EN_SETFOCUS = 0x0100;
constexpr uint32_t EN_KILLFOCUS = 0x0200;
constexpr uint32_t EN_CHANGE = 0x0300;
constexpr uint32_t EN_MSGFILTER = 0x0700;
constexpr uint32_t EN_SELCHANGE = 0x0702;

// Event mask of the rich-edit window (the editor's "eventMask" property).
constexpr uint32_t ENM_CHANGE = 0x00000001;
constexpr uint32_t ENM_KEYEVENTS = 0x00010000;
constexpr uint32_t ENM_MOUSEEVENTS = 0x00020000;
constexpr uint32_t ENM_SELCHANGE = 0x00080000;

// The marker: a middle-button release sent to the host at this position, with the
// modifier keys held (Shift 1, Ctrl 2, Alt 4) as its keyboard modifiers.
constexpr uint32_t MarkerLParam = 0xFEDCBA98u;
constexpr int MarkerX = -17768; // low word of MarkerLParam as a signed number
constexpr int MarkerY = -292;   // high word
constexpr int ShiftMaskShift = 1;
constexpr int ShiftMaskCtrl = 2;
constexpr int ShiftMaskAlt = 4;

// The class name under which the platform registers the rich-edit window; the
// library creates it by that name through Qt's meta-type system.
constexpr const char *RichEditClassName = "RichEdit20A";
constexpr const char *RichEditWindowText = "VerbanoxDisplay";

// The clipboard format of RTF text.
constexpr const char *RtfFormatName = "Rich Text Format";
// Predefined clipboard formats (registered ones are 0xC000 and up).
constexpr uint16_t CF_TEXT = 1;
constexpr uint16_t CF_UNICODETEXT = 13;

// A block of memory handed to a receiver, who frees it with std::free.
struct Medium
{
    uint32_t tymed; // 1: a memory block
    void *block;
    uint32_t size; // bytes in block
};
constexpr uint32_t TYMED_HGLOBAL = 1;

// The RTF data object: offers one RTF text in one clipboard format.
struct DataObject
{
    HRESULT (*QueryGetData)(DataObject *self, uint16_t format);
    HRESULT (*GetData)(DataObject *self, uint16_t format, Medium *medium);
    HRESULT (*GetDataHere)(DataObject *self, uint16_t format, Medium *medium);
};

// Exported functions (extern "C", resolved by name).
using CreateRtfWindowFn = HWND (*)(void *owner, HWND host, void **document);
using GetMsgInfoFn = HRESULT (*)(HWND *hwndFrom, uint32_t *code, uint32_t *msg, WPARAM *wParam,
                                 LPARAM *lParam);
using SetMsgInfoFn = HRESULT (*)(HWND hwndFrom, uint32_t code, uint32_t msg, WPARAM wParam, LPARAM lParam,
                                 LRESULT result);
using SetMsgRetValFn = HRESULT (*)(HWND hwndFrom, uint32_t code, uint32_t msg, LRESULT result);
// The bytes are copied; the library keeps the copy until ClearDataObject or the next call.
using GetDataObjectFn = HRESULT (*)(const char *rtf, uint32_t size, DataObject **object);
using ClearDataObjectFn = HRESULT (*)();
// Rewrites text in place; length is in UTF-16 code units and never changes.
using SmartQuotesFn = HRESULT (*)(char16_t *text, int32_t length, const char16_t *quotes, int32_t quoteCount);
// Rewrites text in place; *length receives the new, never longer, length.
using FixSpacesAndDashesFn = HRESULT (*)(char16_t *text, int32_t *length);
// Diagnostics: how many hosts the library relays notifications for (exported as
// "SubclassTableCount"; the program does not need it).
using SubclassTableCountFn = uint32_t (*)();

// The clipboard format number of a name, shared by the program and the library
// (kept on the application object): the same name always gives the same number.
uint16_t RegisterClipboardFormat(const char *name);

} // namespace VxAbi

#pragma once

#include "abi/VxHelpersAbi.h"

class QObject;
class QTextEdit;
class QWidget;

// Makes the rich-edit window of a host. The window class is found by its
// registered name, so the library needs nothing of the program but Qt.
namespace RtfWindowFactory {
// The live widget a handle names, or null (a handle is only compared until then).
QWidget *widgetFromHandle(VxAbi::HWND handle);
// A visible child of host filling it, or null when the class is unknown or is no text editor.
QTextEdit *create(QWidget *host);
// The editor's Text Object Model document, or null.
QObject *document(QTextEdit *editor);
} // namespace RtfWindowFactory

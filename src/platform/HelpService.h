#pragma once

#include <QString>
#include <functional>

class ChmViewer;
class QObject;
class QWidget;

// The process-wide help file and its viewer. F1 in any window shows the current
// help file at the help context of the focused widget or the nearest of its
// parents that has one, else at its default topic; a window may set another file
// (a Bible in CHM form) and set the program's own back when it closes.
namespace HelpService {
void setHelpFile(const QString &path);
QString helpFile();
// Shows the current help file in the viewer window, at the topic of a help
// context number when one is given and the file maps it; false when the file
// could not be opened, after the failure reporter has said why.
bool showHelp(int context = 0);
// The help context that F1 opens in a widget and the widgets inside it; 0 for none.
void setHelpContext(QWidget *widget, int context);
int helpContext(const QWidget *widget);
// The viewer window when it exists, nullptr otherwise.
ChmViewer *viewer();
// Who tells the user that the help file could not be opened (file, reason);
// the default shows a plain message box through the desktop.
void setFailureReporter(std::function<void(const QString &file, const QString &reason)> reporter);
// Makes F1 show the help in every window of the application.
void installF1Handler();
} // namespace HelpService

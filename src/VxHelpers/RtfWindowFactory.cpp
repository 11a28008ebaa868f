#include "VxHelpers/RtfWindowFactory.h"

#include <QApplication>
#include <QMetaObject>
#include <QMetaType>
#include <QTextEdit>
#include <QWidget>

namespace RtfWindowFactory {

QWidget *widgetFromHandle(VxAbi::HWND handle)
{
    if (handle == 0 || !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return nullptr;
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget *widget : widgets)
        if (reinterpret_cast<VxAbi::HWND>(widget) == handle)
            return widget;
    return nullptr;
}

QTextEdit *create(QWidget *host)
{
    const QMetaObject *windowClass = QMetaType::fromName(VxAbi::RichEditClassName).metaObject();
    if (!windowClass)
        return nullptr;
    QObject *made = windowClass->newInstance(Q_ARG(QWidget *, host));
    auto *editor = qobject_cast<QTextEdit *>(made);
    if (!editor) {
        delete made;
        return nullptr;
    }
    editor->setWindowTitle(QString::fromLatin1(VxAbi::RichEditWindowText));
    editor->setGeometry(host->rect());
    editor->show();
    return editor;
}

QObject *document(QTextEdit *editor)
{
    QObject *document = nullptr;
    if (!QMetaObject::invokeMethod(editor, "oleInterface", Qt::DirectConnection,
                                   Q_RETURN_ARG(QObject *, document)))
        return nullptr;
    return document;
}

} // namespace RtfWindowFactory

#include "platform/HelpService.h"
#include "platform/ChmViewer.h"
#include "platform/Desktop.h"
#include "platform/FileNames.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

namespace {
const char *const ContextProperty = "vxHelpContext";

struct State
{
    QString file;
    QPointer<ChmViewer> viewer;
    std::function<void(const QString &, const QString &)> reporter;
};

State &state()
{
    static State s;
    return s;
}

void defaultReport(const QString &file, const QString &reason)
{
    desktop().messageBox(QStringLiteral("The help file could not be opened:\r\n") + file +
                             QStringLiteral("\r\n\r\n") + reason,
                         MsgBoxStyle::Exclamation, QString());
}

// F1 reaches the focused widget unless a shortcut took it first (the main
// window's Help > Contents does).
class F1Filter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
                HelpService::showHelp(HelpService::helpContext(static_cast<QWidget *>(watched)));
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};
} // namespace

namespace HelpService {

void setHelpFile(const QString &path)
{
    state().file = path;
}

QString helpFile()
{
    return state().file;
}

void setHelpContext(QWidget *widget, int context)
{
    widget->setProperty(ContextProperty, context);
}

int helpContext(const QWidget *widget)
{
    for (; widget; widget = widget->parentWidget())
        if (const int context = widget->property(ContextProperty).toInt())
            return context;
    return 0;
}

bool showHelp(int context)
{
    State &s = state();
    // The help file is found whatever the case of its name on disk.
    const QString path = FileNames::resolve(s.file);
    if (!s.viewer)
        s.viewer = new ChmViewer();
    ChmViewer *window = s.viewer;
    if (window->fileName() != path || !window->isVisible()) {
        if (!window->openFile(path)) {
            const QString reason = window->errorText();
            window->close();
            (s.reporter ? s.reporter : defaultReport)(s.file, reason);
            return false;
        }
    }
    // Beside a dialog that blocks the whole program the viewer must be modal
    // itself, or it could not be used until the dialog closes.
    QWidget *modal = QApplication::activeModalWidget();
    const Qt::WindowModality modality =
        modal && modal != window && modal->windowModality() == Qt::ApplicationModal ? Qt::ApplicationModal
                                                                                    : Qt::NonModal;
    if (window->windowModality() != modality) {
        window->hide();
        window->setWindowModality(modality);
    }
    if (context)
        window->showContext(quint32(context));
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

ChmViewer *viewer()
{
    return state().viewer.data();
}

void setFailureReporter(std::function<void(const QString &, const QString &)> reporter)
{
    state().reporter = std::move(reporter);
}

void installF1Handler()
{
    static F1Filter *filter = nullptr;
    if (!filter && qApp) {
        filter = new F1Filter(qApp);
        qApp->installEventFilter(filter);
    }
}

} // namespace HelpService

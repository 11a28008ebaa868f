#include "core/GlobalNotifier.h"
#include "core/BibleBookNames.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"

void GlobalNotifier::NotifyOfEvent(const QString &eventName)
{
    if (eventName == InternationalChanged) {
        MsgSupport::ReloadAllMessages();
        BookNames().ReloadBookNames();
    }
    Q_EMIT Notify(eventName);
}

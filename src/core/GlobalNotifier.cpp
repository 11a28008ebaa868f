#include "GlobalNotifier.h"
#include "BibleBookNames.h"
#include "GlobalVars.h"
#include "MsgSupport.h"

void GlobalNotifier::NotifyOfEvent(const QString &eventName)
{
    if (eventName == InternationalChanged) {
        MsgSupport::ReloadAllMessages();
        BookNames().ReloadBookNames();
    }
    Q_EMIT Notify(eventName);
}

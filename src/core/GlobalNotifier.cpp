#include "core/GlobalNotifier.h"
#include "core/BibleBookNames.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"

void GlobalNotifier::NotifyOfEvent(const QString &eventName)
{
    if (eventName == InternationalChanged) {
        MsgSupport::ReloadAllMessages();
        BookNames().ReloadBookNames();
        // The splash's next verse comes from the language now in use.
        gFavVersesFile = MsgSupport::FavVersesFile(gLanguage);
    }
    Q_EMIT Notify(eventName);
}

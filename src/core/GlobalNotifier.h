#pragma once

#include <QObject>
#include <QString>

// The one program-wide broadcaster; windows that must follow program-wide
// changes connect to Notify.
class GlobalNotifier : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    static inline const QString InternationalChanged = QStringLiteral("EVT_InternationalChanged");
    static inline const QString TranslationsAvailListChanged =
        QStringLiteral("EVT_TranslationsAvailListChanged");

    void NotifyOfEvent(const QString &eventName);

Q_SIGNALS:
    void Notify(const QString &eventName);
};

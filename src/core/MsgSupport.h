#pragma once

#include <QString>
#include <QStringList>

// The numbered message catalog: category 0 ("STD", messages) and 1 ("FRM", form
// and menu texts), ids 1-300, English first and the interface language over it.
namespace MsgSupport {
constexpr int MC_Standard = 0;
constexpr int MC_Forms = 1;
constexpr int MaxMsgId = 300;

void ReloadAllMessages();
void LoadMessageFile(qint16 category, const QString &path, bool isBase);
QString GetMsg(qint32 category, qint32 id, const QString &substitution = QString());
// A standard message followed, after a blank line, by the items it speaks of, one
// a line; past the first twelve only their number is given.
QString GetMsgListing(qint32 id, const QString &substitution, const QStringList &items);
// The name of a language's file of favourite verses, which lies beside its catalogs.
QString FavVersesFile(const QString &language);
} // namespace MsgSupport

using MsgSupport::GetMsg;

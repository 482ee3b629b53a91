#include "platform/Log.h"

#include <QUrl>
#include <QUrlQuery>

namespace Lunovex {

Q_LOGGING_CATEGORY(lcTransfers, "lunovex.transfers", QtWarningMsg)
Q_LOGGING_CATEGORY(lcHarvest, "lunovex.harvest", QtWarningMsg)
Q_LOGGING_CATEGORY(lcBrowser, "lunovex.browser", QtWarningMsg)

QString LoggableAddress(const QString& address)
{
    QUrl url(address);
    if (url.hasQuery()) {
        // A form sent by GET carries what was typed into it in the query: its names tell enough.
        QUrlQuery query(url);
        QList<QPair<QString, QString>> items = query.queryItems();
        for (auto& item : items)
            if (!item.second.isEmpty()) item.second = QStringLiteral("…");
        query.setQueryItems(items);
        url.setQuery(query);
    }
    return url.toString(QUrl::RemoveUserInfo | QUrl::RemoveFragment);
}

} // namespace Lunovex

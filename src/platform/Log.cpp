#include "platform/Log.h"

#include <QUrl>

namespace Lunovex {

Q_LOGGING_CATEGORY(lcTransfers, "lunovex.transfers", QtWarningMsg)
Q_LOGGING_CATEGORY(lcHarvest, "lunovex.harvest", QtWarningMsg)
Q_LOGGING_CATEGORY(lcBrowser, "lunovex.browser", QtWarningMsg)

QString LoggableAddress(const QString& address)
{
    return QUrl(address).toString(QUrl::RemoveUserInfo | QUrl::RemoveFragment);
}

} // namespace Lunovex

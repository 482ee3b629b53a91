#pragma once

#include <QLoggingCategory>
#include <QString>

namespace Lunovex {

// One category per area, quiet unless asked for, so that a user can attach a log to a bug report:
//   QT_LOGGING_RULES="lunovex.*=true" lunovex 2> lunovex.log
// A record names addresses and statuses, never a cookie, a password or a form's values.
Q_DECLARE_LOGGING_CATEGORY(lcTransfers) // "lunovex.transfers": each transfer's address, status, outcome
Q_DECLARE_LOGGING_CATEGORY(lcHarvest)   // "lunovex.harvest": pages read, entries found, hand-offs
Q_DECLARE_LOGGING_CATEGORY(lcBrowser)   // "lunovex.browser": navigations, refused windows and links

// An address as it may be logged: without the user name and password it may carry, without its
// fragment, and with the values of its query left out (a form sent by GET puts a password there).
QString LoggableAddress(const QString& address);

} // namespace Lunovex

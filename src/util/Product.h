#pragma once

#include "BuildInfo.h"

#include <QString>
#include <QStringList>

namespace Lunovex {

// The product's fixed names and addresses, in one place.
namespace Product {

inline QString title()
{
    return QStringLiteral("Marlow & Vance 文献下载器");
}

inline QString executableName()
{
    return QStringLiteral("Lunovex");
}

inline QString version()
{
    return QStringLiteral("%1.%2.%3")
        .arg(LUNOVEX_VERSION_MAJOR)
        .arg(LUNOVEX_VERSION_MINOR)
        .arg(LUNOVEX_VERSION_PATCH);
}

// The maker's web sites and feedback address. Both sites are the maker's own: the search window
// neither records their addresses nor shows its status bar on them.
inline QString makerHomePage()
{
    return QStringLiteral("https://lunovex.example.org/");
}

inline QString sisterSitePage()
{
    return QStringLiteral("https://mozhou.example.org/");
}

inline QStringList makerSiteNames()
{
    return {QStringLiteral("lunovex.example.org"), QStringLiteral("mozhou.example.org")};
}

inline bool isMakerSiteAddress(const QString& address)
{
    for (const QString& site : makerSiteNames())
        if (address.contains(site, Qt::CaseInsensitive)) return true;
    return false;
}

// The site the update check asks for the newest version: the environment's LUNOVEX_MAKER_SITE, else
// the build's; empty when neither names one, and then there is no check at all (an address that
// cannot answer would tell every user at every start that the network is down).
inline QString updateSite()
{
    QString site = qEnvironmentVariable("LUNOVEX_MAKER_SITE", QStringLiteral(LUNOVEX_MAKER_SITE)).trimmed();
    if (!site.isEmpty() && !site.endsWith(QLatin1Char('/'))) site += QLatin1Char('/');
    return site;
}

// The maker's page for this program, on the update site when one is set.
inline QString productPage()
{
    const QString site = updateSite();
    return (site.isEmpty() ? makerHomePage() : site) + executableName() + QLatin1Char('/');
}

inline QString makerPage(const QString& path)
{
    return makerHomePage() + path;
}

inline QString feedbackMailAddress()
{
    return QStringLiteral("feedback@lunovex.example.org");
}

// The home page of the publisher's search platform. A test or the sample-site demo points it at a
// server of its own, by setPublisherHomePage or the environment variable LUNOVEX_PUBLISHER_HOME.
inline QString& publisherHomeOverride()
{
    static QString address = qEnvironmentVariable("LUNOVEX_PUBLISHER_HOME");
    return address;
}

inline QString publisherHomePage()
{
    const QString& address = publisherHomeOverride();
    return address.isEmpty() ? QStringLiteral("https://www.marlow-vance.example/") : address;
}

inline void setPublisherHomePage(const QString& address)
{
    publisherHomeOverride() = address;
}

// A window's caption: its own caption, "-", the application title.
inline QString windowCaption(const QString& ownCaption)
{
    return ownCaption + QLatin1Char('-') + title();
}

} // namespace Product

} // namespace Lunovex

#pragma once

#include "BuildInfo.h"

#include <QString>

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

// The maker's web site and feedback address.
inline QString makerHomePage()
{
    return QStringLiteral("https://lunovex.example.org/");
}

inline QString feedbackMailAddress()
{
    return QStringLiteral("feedback@lunovex.example.org");
}

// A window's caption: its own caption, "-", the application title.
inline QString windowCaption(const QString& ownCaption)
{
    return ownCaption + QLatin1Char('-') + title();
}

} // namespace Product

} // namespace Lunovex

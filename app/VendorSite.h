#pragma once

#include <QString>

// The vendor's web host: a reserved name (RFC 2606) until the project has a site of its own.
inline constexpr char VendorHost[] = "plumaret.example";

inline constexpr char AdvertisementPath[] = "/ad/201072710_1.html";
inline constexpr char VendorPagePath[] = "/201071910.html";
inline constexpr char UpdateNoticePath[] = "/SiteBack/updateTxt/10.txt";

inline QString VendorUrl(const char *path)
{
    return QStringLiteral("http://%1%2").arg(QLatin1String(VendorHost), QLatin1String(path));
}

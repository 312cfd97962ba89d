#pragma once

#include <QString>
#include <QStringList>

// The fixed table of user-visible texts: every key has an English, a Russian and a Ukrainian text.
namespace Catalogue
{

// Text of `key` in `language` ("en", "ru" or "ua"; anything else means English).
// An unknown key gives an empty string.
QString text(const QString &key, const QString &language);

// All keys in table order.
QStringList keys();

} // namespace Catalogue

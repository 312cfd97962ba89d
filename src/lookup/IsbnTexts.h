#pragma once

#include "IsbnLookup.h"
#include "IsbnStore.h"

#include <QString>

// The lookup's texts for the user, in the current language.
namespace IsbnTexts {
QString outcome(IsbnLookup::Outcome outcome);
// The console line of one source's answer.
QString sourceLine(const QString &isbn13, const QString &sourceName, IsbnLookup::SourceResult result);
// The question before a book whose ISBN the library holds already is added.
QString duplicate(const QString &isbn13, const IsbnStore::Owner &owner);
} // namespace IsbnTexts

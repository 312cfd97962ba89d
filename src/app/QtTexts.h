#pragma once

#include <QString>

// Qt's own texts (file dialogs, print preview, standard buttons) in the interface language:
// "ru" and "ua" load Qt's Russian and Ukrainian catalogues, anything else keeps Qt's English.
// Returns whether the catalogue for the language is in use (always true for English).
bool applyQtTexts(const QString &language);

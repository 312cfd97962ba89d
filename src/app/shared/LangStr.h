#pragma once

#include <QString>

// The text of a catalogue key in the interface language, read afresh from the setting
// Language at every call; an unknown key gives the empty text.
QString LangStr(const QString &key);

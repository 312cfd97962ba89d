#pragma once

#include <QComboBox>

// The entry chosen in a list whose edit text may show a prompt instead ("Arrange by"); -1 when
// none. Typing over an entry, or the prompt put back by a language switch, leaves no entry chosen,
// so a bar never acts on a field it no longer shows.
inline int chosenEntry(const QComboBox *list)
{
    const int index = list->currentIndex();
    if (index < 0 || list->currentText() != list->itemText(index))
        return -1;
    return index;
}

#pragma once

// The order a click on a column title asks for: ascending, and a second click on the same
// title reverses it.
class TitleClickOrder
{
public:
    // entry: what the title orders by; returns true for ascending.
    bool click(int entry)
    {
        m_ascending = !(entry == m_entry && m_ascending);
        m_entry = entry;
        return m_ascending;
    }

private:
    int m_entry = -1; // the entry of the last title click
    bool m_ascending = false;
};

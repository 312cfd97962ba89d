#pragma once

// The ISBN rows of the add, change and view windows, tied to those windows once they exist.
void connectIsbnRows();
void applyIsbnLanguage();

#pragma once

#include <QString>

// The coding of stored values: each character's code moves by 85 within the single-byte range.
// Characters are taken as Latin-1 codes (0-255).

// Codes above 170 have no scrambled form and are left out.
QString ScrambleText(const QString &text);
// Codes below 85 have no plain form and are left out.
QString UnscrambleText(const QString &text);

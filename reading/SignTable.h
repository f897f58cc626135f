#pragma once

#include <QString>

#include <optional>

// The oracle's whole content: 24 signs, the Greek alphabet in order. The texts are held as
// three parallel lists with room for 25 entries; entry 24 is empty and is never drawn.
class SignTable final
{
public:
    static constexpr int kSignCount = 24;  // indices 0..23 are signs
    static constexpr int kEntryCount = 25; // indices 0..24 may be looked up

    // Each look-up refuses an index outside 0..24 with std::nullopt.
    static std::optional<QString> letterName(int index);
    static std::optional<QString> keyword(int index);
    static std::optional<QString> interpretation(int index);

    // Key of the picture at 1-based position 1..24 of the picture list ("01alpha.jpg"),
    // std::nullopt outside that range.
    static std::optional<QString> pictureKey(int position);
};

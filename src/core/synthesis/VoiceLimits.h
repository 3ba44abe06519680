#pragma once

namespace parlino {

// The range and start-up value of one voice setting.
struct VoiceLimit {
    int minimum;
    int maximum;
    int standard;

    bool contains(int value) const { return value >= minimum && value <= maximum; }
};

// The pitch (semitones) and speed (per cent of the normal rate) a conversion
// accepts, as the editor's sliders and the command line offer them.
namespace VoiceLimits {
inline constexpr VoiceLimit pitch{-20, 20, 0};
inline constexpr VoiceLimit speed{25, 400, 100};
} // namespace VoiceLimits

} // namespace parlino

#pragma once
// Background style sheets the port frames of every window share.

namespace frame_styles {

inline constexpr const char* kGrey = "background:#dad7d3";  // ready, working
inline constexpr const char* kGreen = "background:#B3FFE6"; // passed
inline constexpr const char* kRed = "background:#FFB3B3";   // failed

} // namespace frame_styles

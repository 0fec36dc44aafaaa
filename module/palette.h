// The cockpit's colours (sRGB, 0xRRGGBB), for the pictures drawn on Linux and for what the module
// asks the simulator to draw itself (its text windows).
#pragma once

#include <cstdint>

namespace tarvenol::palette {

constexpr std::uint32_t kPanelFace = 0x4a5258;
constexpr std::uint32_t kPanelShadow = 0x2e3438;
constexpr std::uint32_t kPanelHighlight = 0x6a747b;
constexpr std::uint32_t kEngraving = 0xf2f2ee;  // legends, scale marks, needles, drum digits
constexpr std::uint32_t kDialFace = 0x101214;   // never pure black: pure black is transparent
constexpr std::uint32_t kNormalBand = 0x35d05a;
constexpr std::uint32_t kWarningLit = 0xe0281e, kWarningDark = 0x4a1512;
constexpr std::uint32_t kCautionLit = 0xf2a516, kCautionDark = 0x4d3510;
constexpr std::uint32_t kAdvisoryLit = 0x35d05a, kAdvisoryDark = 0x103a1c;
constexpr std::uint32_t kBlueLit = 0x4aa8ff, kBlueDark = 0x14304a;
constexpr std::uint32_t kMemoLit = 0xf0f0f0, kMemoDark = 0x3a3a3a;

// The same colour as a Windows COLORREF (0x00BBGGRR).
constexpr std::uint32_t colorref(std::uint32_t rgb) {
    return (rgb & 0xff) << 16 | (rgb & 0xff00) | (rgb >> 16 & 0xff);
}

}  // namespace tarvenol::palette

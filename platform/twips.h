#pragma once

// Sizes and positions are given in twips, 1/1440 inch.
namespace Twips {

inline constexpr double kPerInch = 1440.0;

// The primary screen's logical DPI, or 96 when there is no screen.
double screenDpi();

int toPixels(double twips, double dpi = screenDpi());
double fromPixels(int pixels, double dpi = screenDpi());

} // namespace Twips

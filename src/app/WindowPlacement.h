#pragma once

#include <QString>

class QWidget;

namespace Lunovex {

// A window's place and size, kept in the settings store under the window's object name, in twips
// (15 to a pixel) as the store has always held them.
constexpr int kTwipsPerPixel = 15;

void SaveWindowPlacement(QWidget* window);
// Maximises the window unless it was last closed at normal size on a screen of the same resolution.
void RestoreWindowPlacement(QWidget* window);

// The screen's width and height in pixels, joined by "*": "1920*1080".
QString ScreenResolutionText(const QWidget* window = nullptr);

} // namespace Lunovex

#pragma once
// Showing the main windows on the panel's screen, and pictures of it.

#include "app/window_choice.h"

#include <QString>

class QWidget;

// The panel's screen is 1920 x 1080.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

// Shows a main window maximized or full screen; on the offscreen platform (tests,
// screenshots) it gets the panel's screen size, which that platform does not have.
void showMainWindow(QWidget* window, h2::ShowAs how);

// Writes a PNG of the shown main window with any dialog on top of it; false on failure.
bool grabScreen(const QString& file);

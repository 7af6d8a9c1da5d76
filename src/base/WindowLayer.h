#pragma once

class QWidget;

// Puts a top-level window into the topmost layer or takes it out, without
// moving, resizing or hiding it.
void SetWindowTopmost(QWidget* window, bool topmost);
bool IsWindowTopmost(const QWidget* window);

#pragma once

class QIcon;

// A mountain peak, drawn at 32 x 32 and offered also at 64 x 64: the
// program's and its window's icon.
QIcon appIcon();

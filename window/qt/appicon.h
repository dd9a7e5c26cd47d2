#pragma once

class QIcon;

// A mountain peak, 32 x 32: the program's and its window's icon.
QIcon appIcon();

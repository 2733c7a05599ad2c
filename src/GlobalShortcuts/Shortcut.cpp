#include "GlobalShortcuts/Shortcut.h"

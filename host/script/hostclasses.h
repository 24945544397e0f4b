// The host's script classes as every widget engine imports them, and the
// calls the program makes into a widget's script objects.
#pragma once

#include "engine/orovod.h"

// Imports the host classes under their script names, in their fixed order:
// "window", "label", "image", "setting", "timer", "system", "edit", "web",
// "widget", "menuItem".
void ImportHostClasses(TROrovod& engine);

// Runs the script's `widget.onUnload`, when the widget has one.
void FireWidgetUnload(TROrovod& engine);

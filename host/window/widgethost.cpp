// The one program host the windows and the script classes ask.
#include "host/window/widgethost.h"

namespace {

TWidgetHost* host = nullptr;

}  // namespace

TWidgetHost* WidgetHost() { return host; }

void SetWidgetHost(TWidgetHost* given) { host = given; }

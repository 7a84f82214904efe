#pragma once
// GIO's headers, which name struct members "signals": include them through
// here, inside sources only, so Qt's keyword macro does not rewrite them.

#pragma push_macro("signals")
#undef signals
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#pragma pop_macro("signals")

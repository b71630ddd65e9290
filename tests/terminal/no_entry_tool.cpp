// A library in the tools folder that exports no entry point.
#include <tool_plugin_api.h>

TAMSEL_TOOL_EXPORT int SomethingElse() {
    return 7;
}

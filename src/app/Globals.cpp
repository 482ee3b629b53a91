#include "app/Globals.h"

namespace Lunovex {

GlobalState& Globals()
{
    static GlobalState state;
    return state;
}

void ResetGlobals()
{
    Globals() = GlobalState{};
}

} // namespace Lunovex

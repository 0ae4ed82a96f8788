#include "app/settings/programstate.h"

ProgramState &programState()
{
    static ProgramState state;
    return state;
}

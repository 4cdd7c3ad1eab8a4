// The main sequence: decide, build, run, finish.
#include "main_sequence.h"

int RollixMain()
{
    return 0;
}

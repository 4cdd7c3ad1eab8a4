// The program's own command-line parameters and file path, read through the machine.
#include "command_params.h"
#include "machine.h"

void GetParam(int n, PathText& parameter)
{
    if (n == 0) {
        // The own file comes from the module, not from the command line, which may name it relatively.
        DWORD count = TheMachine().GetModuleFileName(parameter.Buffer(), kPathCapacity);
        // Before Vista a cut-off name comes back without its terminating zero: end it at the reported count.
        parameter.Terminate(static_cast<int>(count));
        return;
    }
    ExtractParam(TheMachine().GetCommandLine(), n, parameter);
}

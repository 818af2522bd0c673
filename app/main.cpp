#include "app/program.h"
#include "console/platform.h"

int main() {
    installConsoleBackend(&platformConsole());
    runProgram();
    endProgram();
}

#include "converter.h"
#include "program.h"

int main(int argc, char *argv[]) {
    return runProgram(runConverter, argc, argv);
}

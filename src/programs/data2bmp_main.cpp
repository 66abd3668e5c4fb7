#include "preview.h"
#include "program.h"

int main(int argc, char *argv[]) {
    return runProgram(runPreview, argc, argv);
}

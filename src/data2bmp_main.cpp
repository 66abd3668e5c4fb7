#include "platform.h"
#include "preview.h"

int main(int argc, char *argv[]) {
    return runPreview(commandLineArguments(argc, argv));
}

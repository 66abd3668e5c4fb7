#include "converter.h"
#include "platform.h"

int main(int argc, char *argv[]) {
    return runConverter(commandLineArguments(argc, argv));
}

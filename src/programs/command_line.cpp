#include "command_line.h"

#include "messages.h"

bool takesOneArgument(const std::vector<std::string> &arguments, const char *fallbackName,
                      const char *usageAfterName) {
    if (arguments.size() == 2) {
        return true;
    }
    printLine("Uso: " + (arguments.empty() ? std::string(fallbackName) : arguments[0]) +
              usageAfterName);
    return false;
}

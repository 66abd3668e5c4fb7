#include "command_line.h"

#include <iostream>

bool takesOneArgument(const std::vector<std::string> &arguments, const char *fallbackName,
                      const char *usageAfterName) {
    if (arguments.size() == 2) {
        return true;
    }
    std::cout << "Uso: " << (arguments.empty() ? fallbackName : arguments[0].c_str())
              << usageAfterName;
    return false;
}

#pragma once

#include <string>
#include <vector>

// Whether `arguments` (invocation name first) hold exactly one argument. If
// not, prints the usage text: "Uso: " and the invocation name (or
// `fallbackName` when there is none), then `usageAfterName` and a line end.
bool takesOneArgument(const std::vector<std::string> &arguments, const char *fallbackName,
                      const char *usageAfterName);

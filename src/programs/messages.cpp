#include "messages.h"

#include <iostream>

void printLine(const std::string &line) {
    std::cout << line << '\n';
}

void report(const Outcome &outcome) {
    if (!outcome.ok()) {
        printLine(messageOf(outcome));
    }
}

bool outputFlushed() {
    std::cout.flush();
    return std::cout.good();
}

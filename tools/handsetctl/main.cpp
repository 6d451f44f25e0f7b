#include "handsetctl.h"

#include <iostream>

int main(int argc, char** argv) {
    return handsetctl::run_handsetctl({argv + 1, argv + argc}, std::cout, std::cerr);
}

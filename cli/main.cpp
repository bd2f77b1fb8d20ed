#include <iostream>

#include "cli/Zepconv.h"

int main(int argc, char** argv) {
    return zep::cli::RunZepconv(argc, argv, std::cout, std::cerr);
}

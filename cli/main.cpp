#include <malloc.h>

#include <iostream>

#include "cli/Zepconv.h"

int main(int argc, char** argv) {
    // A run takes memory in many pieces of a file's size, on every core at once. Grown in large
    // steps, the heap costs a few system calls instead of one per file, and the threads stop
    // waiting on each other for the address space; room not yet used takes no memory. Fixing the
    // step also fixes the size from which blocks get mappings of their own, at 128 KiB: it is
    // raised past the writer's chunk, which would otherwise be mapped afresh for every file.
    mallopt(M_TOP_PAD, 64 << 20);
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
    return zep::cli::RunZepconv(argc, argv, std::cout, std::cerr);
}

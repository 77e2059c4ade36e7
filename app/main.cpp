#include "app/run_modes.h"

int main(int argc, char** argv) { return core::runMain(argc, argv); }

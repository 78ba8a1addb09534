#include "cli/run.h"

int main(int argc, char* argv[]) { return kv5::Run(argc, argv); }

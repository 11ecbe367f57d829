#include "support/test_main.h"

int main(int argc, char** argv) { return RunTestsInOwnFolder(argc, argv, "model"); }

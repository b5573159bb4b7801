#include "HcPlayerApplication.h"

int main(int argc, char** argv) { return HcPlayerMain(argc, argv); }

#include "cli/corvaneprint.h"

int main(int argc, char **argv)
{
    return RunCorvanePrint(argc, argv);
}

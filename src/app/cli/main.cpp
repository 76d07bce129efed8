// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/corvaneprint.h"

int main(int argc, char **argv)
{
    return RunCorvanePrint(argc, argv);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/corvaneapplication.h"

int main(int argc, char **argv)
{
    return RunCorvane(argc, argv);
}

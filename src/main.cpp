// SPDX-License-Identifier: MIT
#include "tovrek.h"

int main(int argc, char **argv)
{
    return RunTovrek(argc, argv);
}

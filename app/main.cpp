// The process entry: the program takes no arguments and runs the scene until it is closed.
#include "app/WinMain.h"

int main()
{
    return WinMain();
}

// Entry point of Quorvanel. The window is not built yet: for now the program says so.
#include <cstdio>

int main()
{
    std::puts("Quorvanel: the window is not built yet.");
    return 0;
}

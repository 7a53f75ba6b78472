// Placeholder entry until the renderer lands.
#include <cstdio>

int main()
{
    fprintf(stderr, "skarvelin-render: not built yet\n");
    return 1;
}

// Placeholder entry until the data set generator lands.
#include <cstdio>

int main()
{
    fprintf(stderr, "skarvelin-data: not built yet\n");
    return 1;
}

// The page with a program that aborts as it starts, as one would where the
// browser cannot run it.
#include <cstdlib>

int main()
{
    std::abort();
}

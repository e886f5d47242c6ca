// A program outside the project, built against the installed package.
#include <pxs/pxs.h>

#include <cstdlib>

int main() {
    ZnString s("consumer");
    s += " ok";
    return s == "consumer ok" ? EXIT_SUCCESS : EXIT_FAILURE;
}

#include "catalogue.h"
#include "webform.h"

// Runs once the page's WebAssembly is ready; the page stays after main returns.
int main()
{
    webform::start(lists::Catalogue::builtIn());
}

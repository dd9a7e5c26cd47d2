// The page with a catalogue in which Мусала's key does not fit a 16-bit
// integer, so that selecting it fails as a handling can.
#include "catalogues.h"
#include "webform.h"

int main()
{
    static const lists::Catalogue failing = catalogueWithKey(0, 4, "40000");
    webform::start(failing);
}

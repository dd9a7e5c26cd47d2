#pragma once

#include "catalogue.h"

// The program in a web page. The page itself (window, controls, list rows) is
// written at build time by pagegen; this takes its lists over once the
// program has started.
namespace webform {

// Holds the key texts of the catalogue beside the page's lists and makes the
// handlings callable from the page's script as Module.List1_Click(k) and
// Module.Command1_Click(). The catalogue must outlive the page.
void start(const lists::Catalogue &catalogue);

} // namespace webform

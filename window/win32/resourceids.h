#pragma once

// Resource ids, shared by planini.rc and the code; the resource compiler
// reads only the defines.
#define IDI_PLANINI 1

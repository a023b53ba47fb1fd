// Compiled only by the layering test, in a library that links the presentation rules: the widgets above
// them must stay out of sight, so this include fails to compile.
#include "widgets/Style.h"

// Outside Windows there is no user locale to ask: the decimal character is '.'.
#include "numtext/NumText.h"

char FetchLocaleDecimalSeparator() { return '.'; }

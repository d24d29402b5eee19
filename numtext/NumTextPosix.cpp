// Outside Windows there is no user locale to ask: the decimal character is '.', the
// grouping character ','.
#include "numtext/NumText.h"

char FetchLocaleDecimalSeparator() { return '.'; }

char FetchLocaleGroupingSeparator() { return ','; }

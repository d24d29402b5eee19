// Outside Windows there is no user locale to ask: the decimal character is '.', the
// grouping of thousands with ','.
#include "numtext/NumText.h"

char FetchLocaleDecimalSeparator() { return '.'; }

TDigitGrouping FetchLocaleDigitGrouping() { return ReadDigitGrouping(u',', "3;0"); }

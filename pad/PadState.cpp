#include "pad/PadState.h"

bool CalcMode = false;
int32_t HotCol = 0;
int32_t HotRow = 0;
bool HotValid = false;
bool Pressed = false;

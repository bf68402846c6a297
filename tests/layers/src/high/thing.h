#pragma once
// May include the layer below it.
#include "low/keeps_down.h"

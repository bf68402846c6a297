// A lower layer reaching up: the layer check must name this include.
#include "high/thing.h"

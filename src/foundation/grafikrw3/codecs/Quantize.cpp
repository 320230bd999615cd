#include "Quantize.h"

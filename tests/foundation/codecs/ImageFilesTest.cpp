#include "CodecTestSupport.h"

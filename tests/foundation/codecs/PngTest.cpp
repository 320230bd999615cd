#include "CodecTestSupport.h"

using namespace codectest;

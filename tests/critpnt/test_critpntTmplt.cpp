#include "critpnt/critpntDetect.h"
#include "critpntFields.h"

#include <gtest/gtest.h>

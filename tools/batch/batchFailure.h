// A batch job fails as opening its field does: one exit code and message per failure.
#pragma once

#include "netcdf/fieldFailure.h"

using BatchFailure = FieldFailure;

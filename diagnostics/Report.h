// The library's one wrapper around twReport: the caller names its module, the line comes along.
#pragma once

#include "diagnostics/Tracewise.h"

#define TW_REPORT(module, message) ::twReport(1, (message), (module), __LINE__, rmDefault, 1)

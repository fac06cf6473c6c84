// Resource ids shared by the program's resource script and the backend.
// Plain #defines: the resource compiler reads this file too.
#pragma once

#define QR_IDI_PROGRAM 1

// Resource ids shared by the program's resource script and the backend.
// Plain #defines: the resource compiler reads this file too.
#pragma once

#define QR_IDI_PROGRAM 1

// Optional: a strip of 16 x 16 images (32 bits with alpha), image i for
// toolbar button i. Without it the toolbar shows its captions alone.
#define QR_IDB_TOOLBAR 2

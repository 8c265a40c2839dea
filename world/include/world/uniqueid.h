#ifndef WORLD_UNIQUEID_H
#define WORLD_UNIQUEID_H

#include <lang/String.h>

// The device's stable unique identifier as UTF-8 text, byte for byte as the platform gives it;
// empty when the platform has none.
lang::String getUniqueID();

#endif

#ifndef WORLD_TRUNCATETOINT_H
#define WORLD_TRUNCATETOINT_H

/**
 * A script number truncated toward zero; NaN gives 0 and values beyond int saturate, since the
 * plain conversion of those is undefined.
 */
int truncateToInt(float value);

/** A script number truncated toward zero, then clamped to [low, high]; NaN counts as 0. */
int truncateToRange(float value, int low, int high);

#endif

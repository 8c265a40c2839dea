#include <pf/OrientationObserver.h>

pf::OrientationObserver* gOrientationObserver = nullptr;
int gCurrentOrientation = 0;

#ifndef PF_LAUNCHERIMPL_H
#define PF_LAUNCHERIMPL_H

#include <lang/Object.h>
#include <lang/String.h>

namespace pf
{

/** Opens URLs through the shared application (or the desktop when none runs); held by its handle. */
class LauncherImpl : public lang::Object
{
public:
	bool openURL(const lang::String& url);
};

} // pf

#endif

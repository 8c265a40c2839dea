#ifndef PF_LAUNCHER_H
#define PF_LAUNCHER_H

#include <lang/Object.h>
#include <lang/Ptr.h>
#include <lang/String.h>

namespace pf
{

class LauncherImpl;

/** Opens URLs outside the application; owns its implementation. */
class Launcher : public lang::Object
{
public:
	Launcher();
	~Launcher();

	/** Whether the URL was handed to the system to open. */
	bool openURL(const lang::String& url);

private:
	lang::Ptr<LauncherImpl> m_impl;
};

} // pf

#endif

#ifndef FRAMEWORK_APPACTIVATIONLISTENER_H
#define FRAMEWORK_APPACTIVATIONLISTENER_H

#include <lang/Array.h>

/** Told when the application becomes active and when it resigns; registered in s_listeners and owned by whoever registered it. */
class AppActivationListener
{
public:
	virtual ~AppActivationListener() {}
	virtual void applicationDidBecomeActive() = 0;
	virtual void applicationWillResignActive() = 0;
};

/** The process-wide activation listeners, told in index order. */
class AppActivationListeners
{
public:
	static lang::Array<AppActivationListener*> s_listeners;
};

#endif

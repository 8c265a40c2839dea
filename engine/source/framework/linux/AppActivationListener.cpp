#include <framework/AppActivationListener.h>

lang::Array<AppActivationListener*> AppActivationListeners::s_listeners;

#ifndef PF_GAMESAVESIMPL_H
#define PF_GAMESAVESIMPL_H

#include <lang/String.h>

namespace pf
{

/** The process-wide user-data path text; empty unless the application sets it. */
class GameSavesImpl
{
public:
	static lang::String sm_userDataPath;
};

} // pf

#endif

#include <pf/GameSavesImpl.h>

namespace pf
{

lang::String GameSavesImpl::sm_userDataPath;

} // pf

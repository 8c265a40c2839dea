#include <lang/GlobalStorage.h>

namespace lang {

void* GlobalStorage::sm_instance[GlobalStorage::SLOT_COUNT] = {};

} // lang

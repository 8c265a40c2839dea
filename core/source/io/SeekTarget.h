#ifndef IO_SEEKTARGET_H
#define IO_SEEKTARGET_H

#include <io/InputStream.h>

namespace io {

// The position, counted from the start of a stream of size bytes now at position, that a seek of
// offset bytes from mode's origin lands on; -1 when it falls outside [0, size] or the mode is
// unknown.
int seekTarget(int offset, InputStream::SeekMode mode, int position, int size);

} // io

#endif

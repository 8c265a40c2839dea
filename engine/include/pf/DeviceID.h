#ifndef PF_DEVICEID_H
#define PF_DEVICEID_H

#include <lang/Object.h>
#include <lang/Ptr.h>
#include <lang/String.h>

namespace pf
{

class DeviceIDImpl;

/** A stable, printable identifier of the device; owns its implementation. */
class DeviceID : public lang::Object
{
public:
	DeviceID();
	~DeviceID();

	/** The same text on every call and every run on this machine. */
	lang::String getDeviceIDHash();

private:
	lang::Ptr<DeviceIDImpl> m_impl;
};

} // pf

#endif

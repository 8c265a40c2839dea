#ifndef GR_CONTEXTOBJECT_H
#define GR_CONTEXTOBJECT_H

#include <lang/Object.h>
#include <lang/Ptr.h>

namespace gr
{

/**
 * Base of every resource the rendering device creates (textures, images, palettes, shaders,
 * primitives). Reference counted: created by the device's factory operations with count 0 and
 * owned by the lang::Ptr holders from then on.
 */
class ContextObject : public lang::Object
{
public:
	/** Class identifiers; 3 is given to no class. */
	enum ClassId
	{
		CLASSID_PRIMITIVE = 0,
		CLASSID_SHADER = 1,
		CLASSID_TEXTURE = 2,
		CLASSID_PALETTE = 4,
		CLASSID_IMAGE = 5
	};

	/** Access wanted by a lock; LOCK_INDICES_KEPT is combined with LOCK_WRITE. */
	enum LockType
	{
		LOCK_NONE = 0,
		LOCK_WRITE = 2,
		LOCK_READWRITE = 3,
		/** Only the vertex data changed: the index data is not uploaded again. */
		LOCK_INDICES_KEPT = 4
	};

	/**
	 * Scoped lock: holds a counted reference to the object (so it outlives the lock) and
	 * calls lock at construction, unlock then release at destruction. The object must not be null.
	 */
	class Lock
	{
	public:
		Lock(ContextObject* object, int lockType);
		~Lock();

		Lock(const Lock&) = delete;
		Lock& operator=(const Lock&) = delete;

	private:
		lang::Ptr<ContextObject> m_object;
	};

	explicit ContextObject(ClassId classId) : m_classId(classId) {}

	ClassId classId() const								{ return m_classId; }

	/** Prepares CPU access; the base does nothing. */
	virtual void lock(int lockType)						{}
	/** Ends CPU access; buffer-backed objects upload what was written. The base does nothing. */
	virtual void unlock()								{}
	/** The lock state; the base always reports read and write. */
	virtual int locked() const							{ return LOCK_READWRITE; }

private:
	ClassId m_classId;
};

} // gr

#endif

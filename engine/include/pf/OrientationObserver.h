#ifndef PF_ORIENTATIONOBSERVER_H
#define PF_ORIENTATIONOBSERVER_H

namespace pf
{

/** Told when the game turns its picture; the one live observer is named by gOrientationObserver (not owned). */
class OrientationObserver
{
public:
	/** Values as gr::Context::OrientationType. */
	typedef int OrientationType;

	virtual ~OrientationObserver() {}
	virtual void onOrientationChanged(OrientationType orientation) = 0;
};

} // pf

/** The live orientation observer, null when none. */
extern pf::OrientationObserver* gOrientationObserver;
/** The game's current orientation (gr::Context::OrientationType), kept by the game. */
extern int gCurrentOrientation;

#endif

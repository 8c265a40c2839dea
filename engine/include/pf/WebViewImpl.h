#ifndef PF_WEBVIEWIMPL_H
#define PF_WEBVIEWIMPL_H

#include <pf/NMWebViewController.h>
#include <pf/OrientationObserver.h>
#include <lang/Object.h>

namespace pf
{

/** A web view overlay's implementation: owns its controller and forwards orientation changes to it. Held by its WebView handle. */
class WebViewImpl : public lang::Object, public OrientationObserver
{
public:
	WebViewImpl(float x, float y, float width, float height);
	/** Stops being the orientation observer if it still is. */
	~WebViewImpl();

	void onOrientationChanged(OrientationType orientation) override;
	NMWebViewController& controller()						{ return m_controller; }

private:
	NMWebViewController m_controller;
};

} // pf

#endif

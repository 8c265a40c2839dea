-- Scenery themes: sky and ground colours and parallax layers {name, sprite, parallaxX, layerScale}.
meadow = {
	skyColor = { r = 135, g = 199, b = 242 },
	groundColor = { r = 92, g = 153, b = 64 },
	bgLayers = {},
	fgLayers = {},
}

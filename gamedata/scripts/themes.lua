-- Scenery themes: sky and ground colours, parallax layers {name, sprite, parallaxX, layerScale}
-- behind the level (far first) and in front of it, and how many clouds drift in the sky.
meadow = {
	skyColor = { r = 128, g = 196, b = 240 },
	groundColor = { r = 84, g = 148, b = 60 },
	bgLayers = { { "far", "mountains", 0.2, 1.0 }, { "near", "hills", 0.5, 1.0 } },
	fgLayers = { { "grass", "grass", 1.0, 1.0 } },
	clouds = 3,
}
dusk = {
	skyColor = { r = 236, g = 150, b = 110 },
	groundColor = { r = 96, g = 80, b = 70 },
	bgLayers = { { "far", "mountains_dusk", 0.2, 1.0 }, { "near", "hills_dusk", 0.5, 1.0 } },
	fgLayers = { { "grass", "grass_dry", 1.0, 1.0 } },
	clouds = 2,
}
frost = {
	skyColor = { r = 188, g = 214, b = 236 },
	groundColor = { r = 232, g = 240, b = 246 },
	bgLayers = { { "far", "mountains_frost", 0.2, 1.0 }, { "near", "hills_frost", 0.5, 1.0 } },
	fgLayers = { { "snow", "snow_edge", 1.0, 1.0 } },
	clouds = 4,
}

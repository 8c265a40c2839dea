-- Pieces drawn with the level that nothing collides with.
decorations = {
	{ definition = "pebble", type = "circle", sprite = "particle_dust", radius = 0.2, density = 0, friction = 0, restitution = 0, material = "immovable", collision = false, z = 1 },
}

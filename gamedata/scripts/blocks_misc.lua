-- Scenery that takes part in the level but is no building material.
misc = {
	{ definition = "launcher", type = "box", sprite = "launcher", width = 2.0, height = 4.0, density = 0, friction = 0, restitution = 0, material = "immovable", collision = false, z = 1 },
}

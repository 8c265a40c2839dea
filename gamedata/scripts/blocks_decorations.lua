-- Pieces drawn with the level that nothing collides with.
decorations = {
	{ definition = "flower", type = "box", sprite = "flower", width = 0.6, height = 1.0, density = 0, friction = 0, restitution = 0, material = "immovable", collision = false, z = 1 },
	{ definition = "bush", type = "box", sprite = "bush", width = 3.0, height = 1.5, density = 0, friction = 0, restitution = 0, material = "immovable", collision = false, z = 1 },
}

-- Glowing coal beds: fixed, and they burn whatever rests on them.
hazard = {
	{ definition = "hazard_coals", type = "box", sprite = "hazard_coals", width = 3.0, height = 0.8, density = 0, friction = 0.8, restitution = 0, material = "hazard", damageFactors = "hazard", z = 2 },
}

-- Materials of blocks and targets: the sounds of a hit and a break, and the rolling sound
-- ("wood", "rock" or "light") a rolling piece of it makes.
wood = { hitSound = "hit_wood", breakSound = "break_wood", rolling = "wood" }
stone = { hitSound = "hit_stone", breakSound = "break_stone", rolling = "rock" }
glass = { hitSound = "hit_glass", breakSound = "break_glass", rolling = "light" }
target = { hitSound = "hit_wood", breakSound = "target_pop", rolling = "light" }
immovable = { hitSound = "hit_stone", breakSound = "break_stone" }
hazard = { hitSound = "hit_stone", breakSound = "break_stone" }

-- Materials of blocks and targets: the sound a hit makes and whether the piece rolls audibly.
wood = { hitSound = "hit_wood", rolling = "wood" }
stone = { hitSound = "hit_stone", rolling = "rock" }
glass = { hitSound = "hit_wood", rolling = "light" }
target = { hitSound = "target_pop", rolling = "light" }
immovable = { hitSound = "hit_stone" }
hazard = { hitSound = "hit_stone" }

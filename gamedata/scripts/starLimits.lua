-- Scores a level needs for one, two and three stars, by level file name.
level_1 = { 4000, 8000, 12000 }

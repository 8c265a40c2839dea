-- Scores a level needs for one, two and three stars, by level file name.
level_1 = { 15000, 22000, 30000 }
level_2 = { 20000, 30000, 40000 }
level_3 = { 22000, 34000, 46000 }
level_4 = { 26000, 40000, 54000 }
level_5 = { 30000, 46000, 62000 }
level_6 = { 34000, 52000, 70000 }

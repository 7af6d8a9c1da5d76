# Vantrelle control surface profile: the generic map, used when no
# profile is named. Faders on CC 0-31 of MIDI channel 1 (7-bit, slot 1
# first), bumps on notes 0-31, pages on notes 32-47.
name Generic
faders 32
motorised no

fader 1 cc 1 0
fader 2 cc 1 1
fader 3 cc 1 2
fader 4 cc 1 3
fader 5 cc 1 4
fader 6 cc 1 5
fader 7 cc 1 6
fader 8 cc 1 7
fader 9 cc 1 8
fader 10 cc 1 9
fader 11 cc 1 10
fader 12 cc 1 11
fader 13 cc 1 12
fader 14 cc 1 13
fader 15 cc 1 14
fader 16 cc 1 15
fader 17 cc 1 16
fader 18 cc 1 17
fader 19 cc 1 18
fader 20 cc 1 19
fader 21 cc 1 20
fader 22 cc 1 21
fader 23 cc 1 22
fader 24 cc 1 23
fader 25 cc 1 24
fader 26 cc 1 25
fader 27 cc 1 26
fader 28 cc 1 27
fader 29 cc 1 28
fader 30 cc 1 29
fader 31 cc 1 30
fader 32 cc 1 31

bump 1 note 1 0
bump 2 note 1 1
bump 3 note 1 2
bump 4 note 1 3
bump 5 note 1 4
bump 6 note 1 5
bump 7 note 1 6
bump 8 note 1 7
bump 9 note 1 8
bump 10 note 1 9
bump 11 note 1 10
bump 12 note 1 11
bump 13 note 1 12
bump 14 note 1 13
bump 15 note 1 14
bump 16 note 1 15
bump 17 note 1 16
bump 18 note 1 17
bump 19 note 1 18
bump 20 note 1 19
bump 21 note 1 20
bump 22 note 1 21
bump 23 note 1 22
bump 24 note 1 23
bump 25 note 1 24
bump 26 note 1 25
bump 27 note 1 26
bump 28 note 1 27
bump 29 note 1 28
bump 30 note 1 29
bump 31 note 1 30
bump 32 note 1 31

page 1 note 1 32
page 2 note 1 33
page 3 note 1 34
page 4 note 1 35
page 5 note 1 36
page 6 note 1 37
page 7 note 1 38
page 8 note 1 39
page 9 note 1 40
page 10 note 1 41
page 11 note 1 42
page 12 note 1 43
page 13 note 1 44
page 14 note 1 45
page 15 note 1 46
page 16 note 1 47

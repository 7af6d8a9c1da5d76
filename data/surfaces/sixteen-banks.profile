# Vantrelle control surface profile: sixteen faders on CC 7-bit with bank
# buttons. The desk shows slots 1-16 of the page, or 17-32 after bank right.
# Faders on CC 0-15 of MIDI channel 1, bumps (the buttons under them) on
# CC 32-47, bank left and right on CC 58 and 59; 64 and up is pressed.
name Sixteen faders with banks
faders 16
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

bump 1 cc 1 32
bump 2 cc 1 33
bump 3 cc 1 34
bump 4 cc 1 35
bump 5 cc 1 36
bump 6 cc 1 37
bump 7 cc 1 38
bump 8 cc 1 39
bump 9 cc 1 40
bump 10 cc 1 41
bump 11 cc 1 42
bump 12 cc 1 43
bump 13 cc 1 44
bump 14 cc 1 45
bump 15 cc 1 46
bump 16 cc 1 47

bank-left cc 1 58
bank-right cc 1 59

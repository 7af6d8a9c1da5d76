# Vantrelle control surface profile: eight motorised faders sending
# 14-bit pitch bend, one MIDI channel per fader, as motorised DAW
# controllers do. Select buttons (notes 24-31) are the bumps; notes 46/47
# move the bank of eight left and right, notes 44/45 the page down and up.
# Motor faders follow the desk, so there is no soft takeover.
name Eight motorised faders
faders 8
motorised yes

fader 1 pitchbend 1
fader 2 pitchbend 2
fader 3 pitchbend 3
fader 4 pitchbend 4
fader 5 pitchbend 5
fader 6 pitchbend 6
fader 7 pitchbend 7
fader 8 pitchbend 8

bump 1 note 1 24
bump 2 note 1 25
bump 3 note 1 26
bump 4 note 1 27
bump 5 note 1 28
bump 6 note 1 29
bump 7 note 1 30
bump 8 note 1 31

bank-left note 1 46
bank-right note 1 47
page-previous note 1 44
page-next note 1 45

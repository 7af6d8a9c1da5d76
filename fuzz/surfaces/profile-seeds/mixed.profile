fader 1 cc14 1 1 33
bump 1 cc 2 64
page 3 program 1 5
bank-left note 1 46

echo clicked>>clicked.txt

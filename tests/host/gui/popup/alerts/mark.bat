echo clicked>>"%~dp0clicked.txt"

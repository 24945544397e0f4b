echo opened> opened.txt

// Drives on Unix-like systems: the root folder and the mounted volumes a user browses.

// Drives on Windows: the drive letters.

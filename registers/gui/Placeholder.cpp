// Removed once the folder has code of its own.

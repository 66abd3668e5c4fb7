// Stands for a platform header.
